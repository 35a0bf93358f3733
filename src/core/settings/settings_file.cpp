#include "core/settings/settings_file.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/settings/profile.h"
#include "core/settings/replace_file.h"
#include "core/text/sjis.h"

namespace kestrel {
namespace {

std::string home_directory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != 0) return home;
    // A session without HOME (a service, a stripped environment) still has a password entry.
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return ".";
}

std::string config_directory() {
    // Relative values are to be ignored: they would depend on the current directory.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        return std::string(xdg) + "/kestrel";
    }
    return home_directory() + "/.config/kestrel";
}

std::string current_directory() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

// mkdir -p; the directories made are private, as configuration directories should be.
bool make_directories(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string prefix = path.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

}  // namespace

SettingsFile::SettingsFile(std::string_view command_line)
    : name_(command_line.empty() ? default_name : command_line) {
    if (name_.find('/') == std::string::npos) {
        in_config_directory_ = true;
        path_ = config_directory() + "/" + name_;
    } else if (name_.front() == '/') {
        path_ = name_;
    } else {
        std::string cwd = current_directory();
        path_ = cwd.empty() ? name_ : cwd + "/" + name_;
    }
}

std::string SettingsFile::scroll_file_path() const {
    if (path_.size() <= 4) return {};
    return path_.substr(0, path_.size() - 4) + ".buf";
}

bool SettingsFile::exists() const { return ::access(path_.c_str(), F_OK) == 0; }

std::string SettingsFile::access_problem() const {
    const auto problem = [this](const char* what, int error) {
        return text::sjis("設定ファイル ") + text::cp932_from_path(path_) + text::sjis(what) +
               std::strerror(error);
    };
    if (exists()) {
        // Non-blocking, as the read itself: a FIFO named on the command line cannot hang us.
        const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return problem(" を読めません: ", errno);
        struct stat st {};
        const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
        ::close(fd);
        if (!regular) return problem(" を読めません: ", EINVAL);
        if (::access(path_.c_str(), W_OK) != 0) return problem(" に書き込めません: ", errno);
    }
    // The nearest folder that exists must take the new file (and any missing folders).
    std::string folder = path_.substr(0, path_.rfind('/'));
    while (!folder.empty() && ::access(folder.c_str(), F_OK) != 0) {
        folder.resize(folder.rfind('/') == std::string::npos ? 0 : folder.rfind('/'));
    }
    if (::access(folder.empty() ? "/" : folder.c_str(), W_OK | X_OK) != 0) {
        return problem(" に書き込めません: ", errno);
    }
    return {};
}

Profile SettingsFile::read() const {
    // The first read is start-up's: what a crash left in the middle of a save goes then.
    if (!temporaries_checked_.exchange(true)) remove_stale_temporaries(path_);
    return Profile::load(path_);
}

bool SettingsFile::write(const Profile& profile) const {
    if (!profile.changed()) return profile.readable();
    if (in_config_directory_) make_directories(path_.substr(0, path_.rfind('/')));
    return profile.save(path_);
}

}  // namespace kestrel
