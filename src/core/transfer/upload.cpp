#include "core/transfer/upload.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <system_error>

#include "core/settings/windows_paths.h"
#include "core/text/sjis.h"

namespace kestrel {

namespace {

constexpr char lf = '\n', cr = '\r';
constexpr int pause_delay_ms = 200;  // file uploads: before the notice
constexpr int drain_poll_ms = 4;     // clipboard uploads: how often the output queue is asked

std::string_view base_name(std::string_view path) {
    auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The length of the longest prefix of `text` that is well-formed UTF-8.
std::size_t utf8_valid_prefix(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t n = 0;
        unsigned low = 0x80, high = 0xBF;  // allowed range of the second byte
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            n = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2;
            if (c == 0xE0) low = 0xA0;   // overlong
            if (c == 0xED) high = 0x9F;  // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return i;
        }
        if (i + n >= text.size()) return i;  // cut short
        for (std::size_t k = 1; k <= n; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) return i;
        }
        i += n + 1;
    }
    return i;
}

// Told once, before the first byte goes out.
void tell_replaced(Desktop& desktop, int count) {
    if (count <= 0) return;
    char text[160];
    std::snprintf(text, sizeof text, text::sjis("Shift-JISにない文字 %d 個は ? で送ります").c_str(),
                  count);
    desktop.tell(text);
}

}  // namespace

namespace upload {

std::size_t next_piece(std::string_view text, std::size_t max) {
    const std::size_t end = text.find(lf);
    const std::size_t n = end == std::string_view::npos ? text.size() : end + 1;
    return std::min(n, max);
}

Line classify(std::string_view piece, std::string_view pause_string, bool after_cr) {
    Line line;
    if (!pause_string.empty() && piece.size() > pause_string.size() &&
        piece.substr(0, pause_string.size()) == pause_string) {
        std::string_view end = piece.substr(pause_string.size());
        if (end == "\r\n" || end == "\n") {
            line.pause = true;
            return line;
        }
    }
    line.send.assign(piece);
    if (!line.send.empty() && line.send.back() == lf) {
        line.send.pop_back();
        // LF alone ends the line as CR LF does: the TNC sees CR either way.
        const bool cr_before = line.send.empty() ? after_cr : line.send.back() == cr;
        if (!cr_before) line.send.push_back(cr);
    }
    return line;
}

bool is_valid_utf8(std::string_view text) { return utf8_valid_prefix(text) == text.size(); }

bool has_non_ascii(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

Converted to_cp932(std::string_view utf8) {
    // Each refused character becomes one "?": count the ones the input did not bring.
    Converted out;
    out.cp932 = text::utf8_to_cp932(utf8);
    const auto marks = [](std::string_view s) {
        return static_cast<int>(std::count(s.begin(), s.end(), text::replacement_cp932));
    };
    out.replaced = marks(out.cp932) - marks(utf8);
    return out;
}

const std::string& pause_notice() {
    static const std::string text =
        text::sjis("--- ｱｯﾌﾟﾛｰﾄﾞ ﾎﾟｰｽﾞ中  ｱｯﾌﾟﾛｰﾄﾞを続行するには HOMEｷｰ -----\r");
    return text;
}

std::string prompt_timeout_notice(int seconds) {
    char text[120];
    std::snprintf(
        text, sizeof text,
        text::sjis("--- ﾌﾟﾛﾝﾌﾟﾄが %d秒 来ません  ｱｯﾌﾟﾛｰﾄﾞを続行するには HOMEｷｰ -----\r").c_str(),
        seconds);
    return text;
}

}  // namespace upload

// Where the worker's pieces come from: a file read as it goes, or a text held in memory.
struct Upload::Source {
    enum class Next { piece, end, error };
    virtual ~Source() = default;
    virtual Next next(std::string& piece) = 0;
    // Nothing is left after the piece just read.
    virtual bool at_end() const = 0;
};

namespace {

class TextSource : public Upload::Source {
public:
    TextSource(std::string text, std::size_t max) : text_(std::move(text)), max_(max) {}
    Next next(std::string& piece) override {
        if (pos_ >= text_.size()) return Next::end;
        std::string_view rest = std::string_view(text_).substr(pos_);
        const std::size_t n = upload::next_piece(rest, max_);
        piece.assign(rest.substr(0, n));
        pos_ += n;
        return Next::piece;
    }
    bool at_end() const override { return pos_ >= text_.size(); }

private:
    std::string text_;
    std::size_t max_;
    std::size_t pos_ = 0;
};

class FileSource : public Upload::Source {
public:
    explicit FileSource(int fd) : fd_(fd) {}
    ~FileSource() override { ::close(fd_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    Next next(std::string& piece) override {
        piece.clear();
        while (piece.size() < upload::file_piece) {
            if (pos_ == len_ && !fill()) {
                if (failed_) return Next::error;
                return piece.empty() ? Next::end : Next::piece;
            }
            std::string_view rest(buffer_ + pos_, len_ - pos_);
            const std::size_t n = upload::next_piece(rest, upload::file_piece - piece.size());
            piece.append(rest.substr(0, n));
            pos_ += n;
            if (piece.back() == lf) break;
        }
        return Next::piece;
    }
    bool at_end() const override { return eof_ && pos_ == len_; }

private:
    bool fill() {
        if (eof_ || failed_) return false;
        for (;;) {
            const ssize_t n = ::read(fd_, buffer_, sizeof buffer_);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) failed_ = true;
            if (n <= 0) {
                eof_ = n == 0;
                return false;
            }
            pos_ = 0;
            len_ = static_cast<std::size_t>(n);
            return true;
        }
    }

    int fd_;
    char buffer_[16384];
    std::size_t pos_ = 0, len_ = 0;
    bool eof_ = false, failed_ = false;
};

}  // namespace

Upload::Upload(Link& link, LineStore& store, Capture& capture, Settings& settings, Desktop& desktop)
    : link_(link), store_(store), capture_(capture), settings_(settings), desktop_(desktop) {
    abort_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

Upload::~Upload() {
    stop();
    if (abort_fd_ >= 0) ::close(abort_fd_);
}

bool Upload::paused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

std::string Upload::name() const {
    std::lock_guard lock(mutex_);
    return name_;
}

// Only one worker at a time: a second start, whichever command it comes from (the toolbar
// buttons are never grayed), is refused while one runs.
bool Upload::refuse_if_running() {
    if (!running()) return false;
    desktop_.tell(text::sjis("すでにｱｯﾌﾟﾛｰﾄﾞ中です"));
    return true;
}

bool Upload::connected_and_open() {
    if (!link_.tnc_connected()) {
        desktop_.tell(text::sjis("TNCが接続されていないか電源が入っていません"));
        return false;
    }
    if (!link_.port_is_open()) {
        desktop_.tell(text::sjis("通信ポートがオープンされていません"));
        return false;
    }
    return true;
}

bool Upload::start_file() {
    if (refuse_if_running() || !connected_and_open()) return false;
    FileChoice choice;
    choice.mode = FileChoice::Mode::open;
    choice.title = text::sjis("アップロード");
    choice.directory = usable_folder(settings_.ul_dir.view());
    std::optional<std::string> path = desktop_.choose_file(choice);
    if (!path) return false;
    const std::string name = text::cp932_from_path(base_name(*path));
    if (name.empty()) {
        desktop_.menu_refresh();
        return false;
    }
    struct stat st {};
    if (::stat(path->c_str(), &st) != 0) {
        std::string text = name + text::sjis(" が見つかりません");
        desktop_.tell(text, MessageIcon::warning);
        desktop_.menu_refresh();
        return false;
    }
    return start_path(*path, name, text::sjis("ファイルを開けません"));
}

bool Upload::start_clipboard(const std::optional<std::string>& clipboard_utf8) {
    if (refuse_if_running()) return false;
    // The port as well as the TNC: with the DSR watch off nothing else would notice that
    // the bytes go nowhere.
    if (!connected_and_open()) return false;
    if (!clipboard_utf8) {
        desktop_.tell(text::sjis("ｸﾘｯﾌﾟﾎﾞｰﾄﾞが ｵｰﾌﾟﾝできません"));
        desktop_.menu_refresh();
        return false;
    }
    // The clipboard's text ends at its first NUL, as a C string does.
    std::string_view text(*clipboard_utf8);
    text = text.substr(0, text.find('\0'));
    if (text.empty()) {
        desktop_.tell(text::sjis("ｸﾘｯﾌﾟﾎﾞｰﾄﾞが空です"));
        return false;
    }
    upload::Converted converted = upload::to_cp932(text);
    tell_replaced(desktop_, converted.replaced);
    return launch(std::make_unique<TextSource>(std::move(converted.cp932), upload::clipboard_piece),
                  UploadKind::clipboard, text::sjis("ｸﾘｯﾌﾟﾎﾞｰﾄﾞU/L"));
}

bool Upload::start_connect_file(std::string_view connect_file) {
    if (refuse_if_running()) return false;
    if (connect_file.empty()) {
        desktop_.menu_refresh();
        return false;
    }
    // A Windows path as the folder would make the name relative to the current directory.
    if (is_windows_path(settings_.ul_dir.view())) {
        const std::string folder(settings_.ul_dir.view());
        desktop_.tell(text::sjis("U/Lに指定されたﾃﾞｨﾚｸﾄﾘｰ ") + folder + text::sjis(" がありません"),
                      MessageIcon::warning);
        desktop_.menu_refresh();
        return false;
    }
    // The U/L directory joined with the name; with no directory, the current one.
    std::string dir = text::path_from_cp932(settings_.ul_dir.view());
    std::string file = text::path_from_cp932(connect_file);
    std::string path = dir.empty() ? file : dir + (dir.back() == '/' ? "" : "/") + file;
    return start_path(path, connect_file, text::sjis("U/Lファイルを開けません"));
}

bool Upload::start_path(const std::string& path, std::string_view name,
                        std::string_view open_error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        desktop_.tell(open_error, MessageIcon::warning);
        desktop_.menu_refresh();
        return false;
    }
    // Read ahead while the file still reads as UTF-8: such a file is converted whole; any
    // other file is sent from the file as it is.
    std::string text;
    std::size_t checked = 0;
    bool utf8 = true, failed = false;
    char chunk[16384];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = true;
        if (n <= 0) break;
        text.append(chunk, static_cast<std::size_t>(n));
        checked += utf8_valid_prefix(std::string_view(text).substr(checked));
        // A sequence may be cut at the chunk's end; anything longer is not UTF-8.
        if (text.size() - checked > 3) {
            utf8 = false;
            break;
        }
    }
    if (failed) {
        ::close(fd);
        desktop_.tell(text::sjis("ファイル読み込みエラー"));
        desktop_.menu_refresh();
        return false;
    }
    std::unique_ptr<Source> source;
    if (utf8 && checked == text.size()) {
        ::close(fd);
        if (upload::has_non_ascii(text)) {
            upload::Converted converted = upload::to_cp932(text);
            text = std::move(converted.cp932);
            tell_replaced(desktop_, converted.replaced);
        }
        source = std::make_unique<TextSource>(std::move(text), upload::file_piece);
    } else {
        if (::lseek(fd, 0, SEEK_SET) != 0) {
            ::close(fd);
            desktop_.tell(open_error, MessageIcon::warning);
            desktop_.menu_refresh();
            return false;
        }
        source = std::make_unique<FileSource>(fd);
    }
    return launch(std::move(source), UploadKind::file, name);
}

void Upload::reap() {
    if (worker_.joinable() && !running()) worker_.join();
}

bool Upload::launch(std::unique_ptr<Source> source, UploadKind kind, std::string_view name) {
    reap();
    if (abort_fd_ >= 0) {
        std::uint64_t drained = 0;
        [[maybe_unused]] ssize_t n = ::read(abort_fd_, &drained, sizeof drained);
    }
    Job job;
    job.kind = kind;
    job.wait_ms = std::max(settings_.port.upload_wait, 0);
    job.echo = settings_.port.local_echo != 0;
    job.pause_string.assign(settings_.pause_str.view());
    // The prompt wait of the record current at the start; the UI thread changes the
    // records, so reading them here needs no lock.
    int record = link_.rbbs().current.load();
    if (record < 0 || record >= rbbs_count) record = 0;
    const RbbsRecord& station = settings_.rbbs[static_cast<std::size_t>(record)];
    job.prompt_paced = link_.prompt_watch().watch(station.prompt_wait.view());
    job.prompt_timeout_s = std::clamp(station.prompt_timeout, 1, prompt_timeout_max);
    {
        std::lock_guard lock(mutex_);
        name_.assign(name);
        paused_ = resume_ = false;
        abort_flag_.store(false, std::memory_order_release);
    }
    ended_by_abort_.store(false);
    kind_.store(kind, std::memory_order_release);
    desktop_.menu_refresh();
    try {
        worker_ = std::thread(&Upload::run, this, std::move(source), std::move(job));
    } catch (const std::system_error&) {
        link_.prompt_watch().watch({});
        kind_.store(UploadKind::none, std::memory_order_release);
        desktop_.menu_refresh();
        return false;
    }
    return true;
}

void Upload::run(std::unique_ptr<Source> source, Job job) {
    std::string piece;
    bool after_cr = false;
    bool awaiting_prompt = false;  // a whole line went out since the last prompt or pause
    for (;;) {
        if (abort_requested()) break;
        const Source::Next next = source->next(piece);
        if (next == Source::Next::error) {
            desktop_.tell(text::sjis("ファイル読み込みエラー"));
            break;
        }
        if (next == Source::Next::end) break;
        upload::Line line = upload::classify(piece, job.pause_string, after_cr);
        after_cr = piece.back() == cr;
        if (line.pause) {
            // HOME at a pause is the operator's go-ahead: no prompt wait after it.
            awaiting_prompt = false;
            if (!pause_here(job)) break;
            continue;
        }
        if (awaiting_prompt && !line.send.empty()) {
            if (!await_prompt(job)) break;
            awaiting_prompt = false;
        }
        // The clipboard upload lets the port's output queue drain before each line.
        if (job.kind == UploadKind::clipboard && !drain_output()) break;
        // Only a prompt that answers this line lets the next one go.
        if (job.prompt_paced) link_.prompt_watch().expect();
        if (!send_line(line.send, job)) break;
        // A piece of a longer line gets no answer: the station waits for its CR.
        if (job.prompt_paced && !line.send.empty() && line.send.back() == cr) {
            awaiting_prompt = true;
        }
        desktop_.repaint_pane(Pane::terminal, false);
        if (source->at_end()) break;
    }
    source.reset();
    link_.prompt_watch().watch({});
    if (abort_requested()) {
        // abort() or stop() finishes the upload once this thread is joined.
        ended_by_abort_.store(true);
        return;
    }
    end_upload();
}

void Upload::end_upload() {
    {
        std::lock_guard lock(mutex_);
        paused_ = resume_ = false;
    }
    kind_.store(UploadKind::none, std::memory_order_release);
    desktop_.menu_refresh();
    desktop_.beep();
}

bool Upload::send_line(const std::string& bytes, const Job& job) {
    for (char ch : bytes) {
        const auto c = static_cast<std::uint8_t>(ch);
        if (job.wait_ms > 0 ? !sleep_ms(job.wait_ms) : abort_requested()) return false;
        if (!link_.send_byte_echo(c, abort_fd_)) return false;
        if (job.echo && capture_.is_open() && !capture_.capture_byte(c)) {
            desktop_.tell(
                text::sjis(job.kind == UploadKind::file ? "D/L書き込みエラーが発生しました"
                                                        : "書き込みエラーが発生しました"),
                MessageIcon::warning);
            capture_.end_download();
            return false;
        }
    }
    return true;
}

bool Upload::pause_here(const Job& job) {
    if (job.kind == UploadKind::file && !sleep_ms(pause_delay_ms)) return false;
    return hold_until_home(upload::pause_notice());
}

// The prompt came, or the time-out passed and the operator let the upload go on.
bool Upload::await_prompt(const Job& job) {
    switch (link_.prompt_watch().wait(std::chrono::seconds(job.prompt_timeout_s))) {
        case PromptWatch::Wait::prompt: return !abort_requested();
        case PromptWatch::Wait::interrupted: return false;
        case PromptWatch::Wait::timed_out: break;
    }
    return hold_until_home(upload::prompt_timeout_notice(job.prompt_timeout_s));
}

bool Upload::hold_until_home(std::string_view notice) {
    {
        std::lock_guard lock(mutex_);
        paused_ = true;
        resume_ = false;
    }
    desktop_.beep();
    store_.put_text(notice, true);
    // Both kinds repaint, so the notice shows at once.
    desktop_.repaint_pane(Pane::terminal, false);
    std::unique_lock lock(mutex_);
    // HOME may have come already: `resume_` keeps it.
    changed_.wait(lock, [this] { return resume_ || abort_requested(); });
    paused_ = resume_ = false;
    return !abort_requested();
}

// False when abort came first.
bool Upload::sleep_ms(int ms) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (abort_requested()) return false;
        // Rounded up: a wait of 1 ms never becomes none.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) return true;
        pollfd p{abort_fd_, POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(std::min<long long>(left, 1000)));
    }
}

// Polls the output queue with short sleeps: a queue a stopped TNC never drains must not
// hold abort, and tcdrain cannot be interrupted.
bool Upload::drain_output() {
    while (link_.pending_output() > 0) {
        if (!sleep_ms(drain_poll_ms)) return false;
    }
    return !abort_requested();
}

bool Upload::resume() {
    std::lock_guard lock(mutex_);
    if (!paused_) return false;
    paused_ = false;
    resume_ = true;
    changed_.notify_all();
    return true;
}

void Upload::stop_worker() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        abort_flag_.store(true, std::memory_order_release);
    }
    changed_.notify_all();
    link_.prompt_watch().interrupt();
    if (abort_fd_ >= 0) {
        std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(abort_fd_, &one, sizeof one);
    }
    // The worker may be waiting in a message box that only this thread could answer.
    desktop_.dismiss_background_messages(true);
    worker_.join();
    desktop_.dismiss_background_messages(false);
}

void Upload::abort() {
    if (!running()) {
        reap();
        return;
    }
    stop_worker();
    {
        std::lock_guard lock(mutex_);
        paused_ = resume_ = false;
    }
    kind_.store(UploadKind::none, std::memory_order_release);
    desktop_.menu_refresh();
    // Unless the worker reached its own end (with its beep) just before.
    if (ended_by_abort_.load()) desktop_.beep();
}

void Upload::stop() {
    stop_worker();
    std::lock_guard lock(mutex_);
    paused_ = resume_ = false;
    kind_.store(UploadKind::none, std::memory_order_release);
}

}  // namespace kestrel
