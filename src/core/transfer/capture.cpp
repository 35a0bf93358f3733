#include "core/transfer/capture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/settings/windows_paths.h"
#include "core/text/sjis.h"
#include "core/text/time_stamp.h"

namespace kestrel {

namespace {

constexpr std::uint8_t bel = 7, tab = 9, lf = 10, cr = 13;

std::string_view base_name(std::string_view path) {
    auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string format_text(std::string_view format_utf8, std::string_view a, std::string_view b = {}) {
    // The formats hold "%s" once or twice; CP932 arguments are spliced in as bytes.
    std::string format = text::sjis(format_utf8);
    std::string out;
    std::string_view args[2] = {a, b};
    int next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && next < 2) {
            out += args[next++];
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

bool write_all(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

}  // namespace

Capture::Capture(Desktop& desktop, const LineStore& time_stamps)
    : desktop_(desktop), time_stamps_(time_stamps) {}

Capture::~Capture() {
    std::lock_guard lock(capture_mutex_);
    close_locked();
}

std::string Capture::file_name() const {
    std::lock_guard lock(capture_mutex_);
    return std::string(name_.view());
}

bool Capture::open_file(const std::string& path, bool append, DownloadMode mode,
                        std::string_view name, std::string_view start) {
    // Truncated only once it is certain to become the capture: another capture may have
    // opened meanwhile, possibly on this very file.
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : 0);
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) return false;
    {
        std::lock_guard lock(capture_mutex_);
        // The receiver's start string and the UI's command may race: the first one wins
        // and the other's file is left alone rather than closed under it.
        if (fd_ >= 0 || (!append && ::ftruncate(fd, 0) != 0)) {
            ::close(fd);
            return false;
        }
        fd_ = fd;
        buffered_ = 0;
        failed_ = false;
        name_.assign(name);
        for (char c : start) put_locked(static_cast<std::uint8_t>(c));
        mode_.store(mode, std::memory_order_release);
        open_.store(true, std::memory_order_release);
    }
    desktop_.menu_refresh();
    return true;
}

void Capture::start_download(std::string_view dl_dir) {
    FileChoice choice;
    choice.mode = FileChoice::Mode::save;
    choice.title = text::sjis("ダウンロード");
    choice.directory = usable_folder(dl_dir);
    choice.filter = "*.*";
    std::optional<std::string> path = desktop_.choose_file(choice);
    if (!path || base_name(*path).empty()) return;
    const std::string name = text::cp932_from_path(base_name(*path));

    bool append = false;
    struct stat st {};
    if (::stat(path->c_str(), &st) == 0) {
        // The permission bits as well as access(): a privileged operator passes access().
        if (::access(path->c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0) {
            desktop_.tell(format_text("%s は書き込み禁止になっています", name),
                          MessageIcon::warning);
            return;
        }
        desktop_.beep();
        auto answer = desktop_.ask_existing_file(overwrite_choice_.load() == 1);
        overwrite_choice_.store(answer.overwrite ? 1 : 0);
        if (!answer.ok) return;
        append = !answer.overwrite;
    }
    if (!open_file(*path, append, DownloadMode::normal, name)) {
        desktop_.tell(text::sjis("ファイルが作成できません"), MessageIcon::warning);
    }
}

bool Capture::start_date_named_download(std::string_view dl_dir, std::string_view extension,
                                        std::string_view start) {
    std::string dir = text::path_from_cp932(dl_dir);
    if (!dir.empty()) {
        struct stat st {};
        // A Windows path ("C:\BBS\DL") would name a file in the current directory here.
        if (is_windows_path(dl_dir) || ::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            desktop_.tell(format_text("日付名D/Lに指定されたﾃﾞｨﾚｸﾄﾘｰ %s がありません", dl_dir),
                          MessageIcon::warning);
            return false;
        }
    }
    std::tm day = desktop_.local_time(desktop_.now());
    char date[40];
    std::snprintf(date, sizeof date, "%02d%02d%02d", (day.tm_year + 1900) % 100, day.tm_mon + 1,
                  day.tm_mday);
    std::string name = std::string(date) + "." + std::string(extension);
    // A full path rather than a change of directory: the UI thread's current directory
    // must not move under it.
    std::string file = text::path_from_cp932(name);
    std::string path = dir.empty() ? file : dir + (dir.back() == '/' ? "" : "/") + file;
    if (!open_file(path, true, DownloadMode::date_named, name, start)) {
        desktop_.tell(format_text("日付名D/Lﾌｧｲﾙ %s\\%s が作成できません", dl_dir, name),
                      MessageIcon::warning);
        return false;
    }
    return true;
}

void Capture::close_locked() {
    if (fd_ >= 0) {
        if (!failed_) flush_locked();
        ::close(fd_);
    }
    fd_ = -1;
    buffered_ = 0;
    name_.assign("");
    open_.store(false, std::memory_order_release);
    mode_.store(DownloadMode::none, std::memory_order_release);
}

void Capture::end_download() {
    {
        std::lock_guard lock(capture_mutex_);
        close_locked();
    }
    desktop_.menu_refresh();
    desktop_.beep();
}

bool Capture::capture_typed(std::uint8_t c) {
    if (!is_open() || (capture_byte(c) && (c != cr || capture_byte(lf)))) return true;
    desktop_.tell(text::sjis("書き込みエラーが発生しました"), MessageIcon::warning);
    close();
    return false;
}

void Capture::close() {
    {
        std::lock_guard lock(capture_mutex_);
        close_locked();
    }
    desktop_.menu_refresh();
}

bool Capture::flush_locked() {
    if (buffered_ == 0) return !failed_;
    bool ok = !failed_ && fd_ >= 0 && write_all(fd_, buffer_.data(), buffered_);
    buffered_ = 0;
    if (!ok) failed_ = true;
    return ok;
}

bool Capture::put_locked(std::uint8_t c) {
    if (buffered_ == buffer_.size() && !flush_locked()) return false;
    buffer_[buffered_++] = static_cast<char>(c);
    return true;
}

bool Capture::put_filtered_locked(std::uint8_t c) {
    if (fd_ < 0) return true;
    if (failed_) return false;
    if (c < 32 && c != bel && c != tab && c != lf && c != cr) return true;
    if (!put_locked(c)) return false;
    if (c == lf && time_stamps_.time_stamp()) {
        text::TimeStamp stamp = text::time_stamp_text(desktop_.local_time(desktop_.now()));
        for (char s : stamp.view()) {
            if (!put_locked(static_cast<std::uint8_t>(s))) return false;
        }
    }
    return true;
}

bool Capture::capture_byte(std::uint8_t c) {
    std::lock_guard lock(capture_mutex_);
    return put_filtered_locked(c) && flush_locked();
}

bool Capture::capture_received(std::string_view bytes) {
    std::lock_guard lock(capture_mutex_);
    while (fd_ >= 0 && !bytes.empty()) {
        if (failed_) return false;
        if (buffered_ == buffer_.size()) {
            if (!flush_locked()) return false;
            continue;
        }
        // Bytes the filter keeps as they are go into the buffer a run at a time; control
        // bytes (and the time stamp after LF) one by one.
        const std::size_t room = buffer_.size() - buffered_;
        std::size_t n = 0;
        while (n < room && n < bytes.size() && static_cast<std::uint8_t>(bytes[n]) >= 32) ++n;
        if (n > 0) {
            std::memcpy(buffer_.data() + buffered_, bytes.data(), n);
            buffered_ += n;
        } else {
            if (!put_filtered_locked(static_cast<std::uint8_t>(bytes[0]))) return false;
            n = 1;
        }
        bytes.remove_prefix(n);
    }
    return flush_locked();
}

void Capture::finish_date_named(std::string_view bytes) {
    {
        // Written and closed under one hold, so no typed byte slips in after the end.
        std::lock_guard lock(capture_mutex_);
        if (fd_ < 0 || mode_.load() != DownloadMode::date_named) return;
        for (char c : bytes) put_locked(static_cast<std::uint8_t>(c));
        close_locked();
    }
    desktop_.menu_refresh();
    desktop_.beep();
}

}  // namespace kestrel
