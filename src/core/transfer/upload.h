#pragma once
// Upload: a text file, the clipboard's text or the current RBBS record's connect file, sent
// line by line to the TNC one byte at a time, with a wait before every byte and pause lines
// that hold the upload until the operator presses HOME.
//
// Threads:
// - UI thread: the three starts, resume (HOME), abort, stop (exit) and the queries. The
//   starts show their refusals and failures themselves and return false for them.
// - One worker thread per upload, at most one at a time: it reads the lines, sleeps the
//   wait, sends each byte with Link::send_byte_echo, captures it when local echo and a
//   capture are on, writes the pause notice, and at its natural end releases what it used,
//   sets the kind back to none, refreshes the menu and beeps. A finished worker is joined
//   by the next start, abort, stop or the destructor.
//
// Ownership: the file descriptor or the text being sent belongs to the worker for its whole
// life and goes with it. The settings the worker needs (wait, local echo, pause string) are
// copied at start, so the UI thread may change them meanwhile.
//
// Locks: `mutex_` guards the paused flag and the resume and abort requests; the worker
// waits on `changed_` only with no other lock held. The worker takes the line store's and
// the capture's locks only inside their own calls, so it never holds one while it waits.
//
// Prompt pacing: when the RBBS record current at the start has a prompt text, each line
// ending in CR is followed by a wait for that prompt (Link::prompt_watch, fed by the
// receiver) before the next line goes out. When the record's time-out passes first, the
// upload shows a notice and pauses until HOME, as at a pause line; a pause line in the
// text stands in for the wait.
//
// Stopping: abort and stop set the abort request, wake every wait the worker may be in
// (the wait between bytes, the pause, the prompt wait, the wait for the output queue to
// drain, and a send blocked on a full output queue, through the eventfd Link watches) and
// join it; message boxes the worker is showing are dismissed meanwhile. When abort returns,
// no byte of the upload reaches the port any more.
//
// Text on this system: files and the clipboard end lines with LF alone. A line ending in
// LF without CR is sent with CR, as a CR LF line is; the pause string followed by LF is a
// pause line too. The clipboard's text, and a file that is valid UTF-8 with non-ASCII in
// it, are converted to CP932 once at the start; each character CP932 cannot hold becomes
// "?", and the operator is told how many before the first byte goes out. Other files are
// sent as they are.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "core/desktop/desktop.h"
#include "core/link/link.h"
#include "core/screen/line_store.h"
#include "core/settings/settings.h"
#include "core/transfer/capture.h"

namespace kestrel {

enum class UploadKind : int { none = 0, file = 1, clipboard = 2 };

namespace upload {

// The longest piece a line is read in: a file line holds at most 4095 bytes, a clipboard
// line 4096. A longer line goes out as consecutive pieces with nothing between them.
inline constexpr std::size_t file_piece = 4095;
inline constexpr std::size_t clipboard_piece = 4096;

// The length of the next piece of `text`: up to and including the first LF, at most `max`.
std::size_t next_piece(std::string_view text, std::size_t max);

// What one piece becomes on the wire.
struct Line {
    bool pause = false;  // a pause line: nothing is sent, the upload stops until HOME
    std::string send;    // the bytes to send
};
// `after_cr`: the piece before this one ended in CR, so an LF at the start of this piece
// completes a CR LF cut between two pieces. An empty pause string marks no pause lines.
Line classify(std::string_view piece, std::string_view pause_string, bool after_cr);

// UTF-8 without a broken or overlong sequence (the whole text).
bool is_valid_utf8(std::string_view text);
bool has_non_ascii(std::string_view text);

struct Converted {
    std::string cp932;
    int replaced = 0;  // characters CP932 cannot hold, each sent as "?"
};
Converted to_cp932(std::string_view utf8);

// The pause notice, CP932, ending in CR.
const std::string& pause_notice();
// The notice of a prompt that did not come within `seconds`, CP932, ending in CR.
std::string prompt_timeout_notice(int seconds);

}  // namespace upload

class Upload {
public:
    Upload(Link& link, LineStore& store, Capture& capture, Settings& settings, Desktop& desktop);
    ~Upload();
    Upload(const Upload&) = delete;
    Upload& operator=(const Upload&) = delete;

    // The Upload command: TNC and port checks, the chooser in the U/L directory, then the
    // worker. False when nothing started (cancelled, refused or failed).
    bool start_file();
    // The clipboard upload with the clipboard's text as UTF-8; nothing: the clipboard
    // could not be read.
    bool start_clipboard(const std::optional<std::string>& clipboard_utf8);
    // The RBBS record's connect file, from the U/L directory. No TNC or port check.
    bool start_connect_file(std::string_view connect_file);

    // HOME: true when a paused upload was told to go on.
    bool resume();
    // Ends a running upload at once and beeps; does nothing when none runs. The caller
    // removes the in-progress window.
    void abort();
    // Exit: as abort, without the beep and the menu refresh.
    void stop();

    UploadKind kind() const { return kind_.load(std::memory_order_acquire); }
    bool running() const { return kind() != UploadKind::none; }
    bool paused() const;
    // The in-progress window's text: the file name, the connect file or "ｸﾘｯﾌﾟﾎﾞｰﾄﾞU/L".
    std::string name() const;

    // Where the worker's pieces come from: a file or a text (upload.cpp).
    struct Source;

private:
    struct Job {
        UploadKind kind = UploadKind::file;
        int wait_ms = 0;
        bool echo = true;
        std::string pause_string;
        bool prompt_paced = false;  // the record's prompt is watched for between lines
        int prompt_timeout_s = 30;
    };

    bool refuse_if_running();
    bool connected_and_open();
    // Opens `path` and decides how it is sent; shows the messages, `open_error` (with the
    // warning icon) when the file cannot be opened.
    bool start_path(const std::string& path, std::string_view name, std::string_view open_error);
    bool launch(std::unique_ptr<Source> source, UploadKind kind, std::string_view name);
    void reap();
    void run(std::unique_ptr<Source> source, Job job);
    // Worker: false when the upload is to end (aborted, or the capture failed).
    bool send_line(const std::string& bytes, const Job& job);
    bool pause_here(const Job& job);
    // Shows `notice` with the pause attribute, beeps and waits for HOME.
    bool hold_until_home(std::string_view notice);
    bool await_prompt(const Job& job);
    bool sleep_ms(int ms);
    bool drain_output();
    void end_upload();
    void stop_worker();
    bool abort_requested() const { return abort_flag_.load(std::memory_order_acquire); }

    Link& link_;
    LineStore& store_;
    Capture& capture_;
    Settings& settings_;
    Desktop& desktop_;

    std::thread worker_;
    std::atomic<UploadKind> kind_{UploadKind::none};
    std::atomic<bool> abort_flag_{false};
    std::atomic<bool> ended_by_abort_{false};
    int abort_fd_ = -1;  // eventfd, readable once abort is asked for

    mutable std::mutex mutex_;  // guards paused_, resume_ and name_
    std::condition_variable changed_;
    bool paused_ = false;
    bool resume_ = false;
    std::string name_;
};

}  // namespace kestrel
