#include "core/settings/replace_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>

namespace kestrel {
namespace {

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string directory_of(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The rename itself lives in the directory; without this a power cut right after it could
// bring back the old name.
void sync_directory(const std::string& directory) {
    int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

constexpr std::string_view temporary_mark = ".tmp";

// "<pid>-<serial>", as the new files' names end after the target's name and ".tmp".
bool is_temporary_suffix(std::string_view rest) {
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == rest.size()) return false;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (i != dash && (rest[i] < '0' || rest[i] > '9')) return false;
    }
    return true;
}

std::string resolve_link(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return path;
    std::string out(real);
    std::free(real);
    return out;
}

// Whether the process that named a new file "<pid>-<serial>" has ended: a save it had under
// way will never finish, so its file need not wait out the minute. A live process of that
// number, whoever it is, keeps the file.
bool writer_is_gone(std::string_view suffix) {
    const std::size_t dash = suffix.find('-');
    if (dash > 9) return false;
    const auto pid = static_cast<pid_t>(std::atoi(std::string(suffix.substr(0, dash)).c_str()));
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace

Replaced replace_file_by(const std::string& path, const std::function<bool(int fd)>& write) {
    static std::atomic<unsigned> serial{0};

    std::string target = resolve_link(path);
    struct stat old {};
    bool had_old = ::stat(target.c_str(), &old) == 0;

    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + std::string(temporary_mark) + std::to_string(::getpid()) + "-" +
               std::to_string(serial++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return Replaced::not_created;
    }
    if (fd < 0) return Replaced::not_created;

    bool ok = write(fd) && (!had_old || ::fchmod(fd, old.st_mode & 07777) == 0) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return Replaced::not_written;
    }
    sync_directory(directory_of(target));
    return Replaced::done;
}

bool replace_file(const std::string& path, std::string_view bytes) {
    return replace_file_by(path, [bytes](int fd) { return write_all(fd, bytes); }) ==
           Replaced::done;
}

void remove_stale_temporaries(const std::string& target_path) {
    const std::string target = resolve_link(target_path);
    const std::string directory = directory_of(target);
    const std::size_t slash = target.rfind('/');
    const std::string prefix =
        target.substr(slash == std::string::npos ? 0 : slash + 1) + std::string(temporary_mark);
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) return;
    const std::time_t old_enough = std::time(nullptr) - 60;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix) || !is_temporary_suffix(name.substr(prefix.size()))) {
            continue;
        }
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(st.st_mode) &&
            (st.st_mtime <= old_enough || writer_is_gone(name.substr(prefix.size())))) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

}  // namespace kestrel
