#pragma once
// The capture file: one at a time, written by the receiver, the UI thread (typed
// characters with local echo) and the upload worker, closed by the first two.
//
// Everything here takes the capture lock itself; no byte is written to a file that is
// closing or closed, and a byte and the time stamp after it go out together. Message
// boxes are shown with the lock released.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "core/desktop/desktop.h"
#include "core/screen/line_store.h"
#include "core/text/fixed_text.h"

namespace kestrel {

enum class DownloadMode : int { none = 0, normal = 1, date_named = 2 };

class Capture {
public:
    // The time-stamp option is the line store's, so screen and file agree.
    Capture(Desktop& desktop, const LineStore& time_stamps);
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    bool is_open() const { return open_.load(std::memory_order_acquire); }
    DownloadMode mode() const { return mode_.load(std::memory_order_acquire); }
    // The capture name for the status line: the file name without its directory.
    std::string file_name() const;

    // The operator's last append/overwrite answer (0 append, 1 overwrite), shared with
    // copy-to-file.
    std::atomic<int>& overwrite_choice() { return overwrite_choice_; }

    // The Download command: chooser, read-only test, existing-file question, open.
    // UI thread.
    void start_download(std::string_view dl_dir);
    // The date-named file in `dl_dir` (or the current directory when empty), appended,
    // named yymmdd.extension. `start` (unfiltered, no stamp) is written under the same hold
    // of the lock as the open, so nothing typed meanwhile lands before it. Shows its own
    // messages; false when nothing was opened.
    bool start_date_named_download(std::string_view dl_dir, std::string_view extension,
                                   std::string_view start = {});
    // Close, mode 0, menu_refresh, beep.
    void end_download();
    // Close, mode 0, menu_refresh, without the end-of-download beep: after a write failure
    // of a typed character or a read command, and at exit.
    void close();

    // capture_byte: the filter, then the byte (and after LF the time stamp) written out at
    // once. False when the write failed; true when the byte was dropped or no capture is
    // open.
    bool capture_byte(std::uint8_t c);
    // A byte the operator typed (or a command typed for them), with LF after CR. A failed
    // write is told and closes the file without the beep; false then. True when written or
    // no capture is open.
    bool capture_typed(std::uint8_t c);
    // The receiver's form: a run of received bytes through the same filter, written out
    // together. False on a write failure.
    bool capture_received(std::string_view bytes);

    // The date-named end check's direct write (no filter, no stamp, result ignored by the
    // caller), then the end of the download.
    void finish_date_named(std::string_view bytes);

private:
    bool open_file(const std::string& path, bool append, DownloadMode mode, std::string_view name,
                   std::string_view start = {});
    void close_locked();
    bool put_locked(std::uint8_t c);
    bool put_filtered_locked(std::uint8_t c);
    bool flush_locked();

    Desktop& desktop_;
    const LineStore& time_stamps_;

    mutable std::mutex capture_mutex_;  // guards the file, its buffer and its name
    int fd_ = -1;
    std::array<char, 8192> buffer_{};
    std::size_t buffered_ = 0;
    bool failed_ = false;  // a write failed; nothing more goes to this file
    text::FixedText<260> name_;

    std::atomic<bool> open_{false};
    std::atomic<DownloadMode> mode_{DownloadMode::none};
    std::atomic<int> overwrite_choice_{0};
};

}  // namespace kestrel
