#pragma once
// The serial link to the TNC: the port, the receiver thread and the two send paths. The
// GUI holds one Link for the whole run.
//
// Threads:
// - UI thread: open_port, close_port, configure (via open_port), clear_dtr, send_break,
//   end_break, send_break_unproto, send_char, send_tnc_clock. `send_char` keeps the typed
//   line and must stay on that one thread.
// - The upload worker: send_byte_echo, pending_output, tnc_connected, port_is_open.
// - The receiver thread (started by open_port, joined by close_port) calls the line
//   consumers, the line store, the capture, and the Desktop: message_box (capture write
//   failure, the date-named download's messages), beep, menu_refresh, repaints and
//   split_view_changed.
//
// Message boxes and close_port: a message box asked for on the receiver thread blocks the
// receiver until it is answered. close_port joins the receiver, so before joining it calls
// Desktop::dismiss_background_messages(true) and afterwards (false): while on, the desktop
// must answer pending and new boxes of other threads at once (Cancel, or No for yes/no)
// without waiting for the UI thread. close_port holds none of the core's locks while it
// joins, so the desktop may take the line-store lock while painting meanwhile.
//
// Shared settings: the receiver reads Settings::rbbs and Settings::dl_dir once per read
// under rbbs().records_mutex, so the UI thread takes that lock while it writes them (the
// RBBS and folders dialogs, loading the settings); reads on the UI thread need no lock.
// rbbs().current is the current RBBS record; keep it equal to Settings::default_fkey_no.
//
// Lifetime: the Link refers to the line store, split view, capture, settings and desktop;
// it must be destroyed (or closed) before them.
//
// After close_port returns, nothing touches the port, the line store or the capture file
// on behalf of the receiver. If the device disappears (read error, hang-up), the receiver
// writes one "com ｴﾗ- %u" text and closes the port; sends then report the closed port. With
// PortSettings::reconnect off it ends there (close_port afterwards is harmless). With it on
// it watches the folder holding the device's path (inotify, and a look every few seconds)
// and reopens the same path with the same settings when it reappears, writing one line that
// says so; the capture stays open across the gap.
//
// A device named "tcp://host:port" is a TCP connection instead (see port.h): open_port only
// checks the name and the receiver connects, so a slow peer never holds the UI thread.
// Until connected the port counts as lost. A refused, failed or lost connection writes one
// "tcp ｴﾗ- %u" text; with reconnect on the receiver tries again after 1 s, doubling the
// pause up to 30 s. Line settings, DSR, DTR and the break do not apply there. Every wait of
// the receiver's gives way to close_port at once.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <thread>

#include "core/desktop/desktop.h"
#include "core/link/modem_control.h"
#include "core/link/port.h"
#include "core/link/rx_line.h"
#include "core/link/typed_line.h"
#include "core/screen/backscroll.h"
#include "core/screen/line_store.h"
#include "core/settings/settings.h"
#include "core/transfer/capture.h"
#include "core/transfer/prompt_watch.h"

namespace kestrel {

class Link {
public:
    // Bytes asked of the port per read: as much as a burst has queued, up to this.
    static constexpr int read_chunk = 4096;
    // The split-view guard runs after at most this many bytes reach the screen. A byte
    // starts at most one new line, and the guard must look before the ring comes round
    // the 500 lines it keeps between the view and the oldest line.
    static constexpr int guard_bytes = 256;

    // `settings` is read at open_port (the port's settings and device) and by the line
    // checks (RBBS table, DL_DIR; see RbbsShare). `modem` defaults to the real lines.
    Link(LineStore& store, Backscroll& backscroll, Capture& capture, Settings& settings,
         Desktop& desktop, std::unique_ptr<ModemControl> modem = nullptr);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Opens Settings::port_devices[port_number - 1] with Settings::port, starts the
    // receiver, raises DTR. False (no message) when any step fails; nothing is left open.
    bool open_port();
    void close_port();
    bool port_is_open() const;

    bool tnc_connected();
    void clear_dtr();
    int pending_output();
    void send_break();  // the GUI ends it 500 ms later with end_break
    void end_break();
    // Break, the current record's UNPROTO text, CR, "K", CR; blocks about 1.1 s. False when
    // a character was refused.
    bool send_break_unproto();

    // The keyboard path; false only when refused because the TNC is not connected. Shows
    // the refusal messages itself.
    bool send_char(std::uint8_t c);
    // The upload path; true unless it gave way. A stopped TNC never drains a full output
    // queue, so while waiting for room it also watches `give_way_fd` (when not -1): once
    // that descriptor is readable it returns false, having sent and echoed nothing.
    bool send_byte_echo(std::uint8_t c, int give_way_fd = -1);
    // Writes `n` bytes, waiting while the port cannot take them. True when written, or when
    // a wait ended in an error that was reported; false when the write failed at once.
    bool write_port(const std::uint8_t* bytes, std::size_t n);

    // "DAYTIME yymmddhhmmss" CR, or the TNC message when it is not connected.
    bool send_tnc_clock();

    RbbsShare& rbbs() { return rbbs_; }
    LineProcessor& line_processor() { return lines_; }
    const TypedLine& typed_line() const { return typed_line_; }
    // The prompt-paced upload's watch, fed every received byte (see prompt_watch.h).
    PromptWatch& prompt_watch() { return prompt_watch_; }

private:
    void receiver_thread();
    bool process_burst();
    // Hands bytes [run_start_, end) of the current read to the screen and the capture.
    void pass_on_run(int end);
    void capture_failed();
    void device_lost(unsigned error);
    // Waits for the lost port to come back and reopens it; false when the receiver is to end
    // (close_port, or reconnect off and nothing left to try).
    bool await_port();
    bool await_device();
    bool await_peer();
    bool reopen_device();
    void port_back();
    // False when close_port woke the receiver before `ms` passed.
    bool pause_receiver(int ms);
    void put_error_text(std::string_view format_utf8, unsigned value);
    void repaint_cursor_rows();
    void stop_receiver();
    bool write_port(const std::uint8_t* bytes, std::size_t n, int give_way_fd, bool& gave_way);

    LineStore& store_;
    Backscroll& backscroll_;
    Capture& capture_;
    Settings& settings_;
    Desktop& desktop_;
    std::unique_ptr<ModemControl> modem_;

    RbbsShare rbbs_;
    LineProcessor lines_;
    TypedLine typed_line_;
    PromptWatch prompt_watch_;

    // Shared by whoever uses the descriptor (senders, modem queries); exclusive to close it.
    mutable std::shared_mutex port_mutex_;
    Port port_;
    int wake_fd_ = -1;  // eventfd, signalled once by close_port; wakes every waiter

    // Receiver thread only: the current read and how far it has been passed on.
    std::array<std::uint8_t, read_chunk> read_buffer_{};
    int run_start_ = 0;
    int processing_ = 0;
    int since_guard_ = 0;  // bytes put on the screen since the split-view guard last ran

    std::thread receiver_;
    std::atomic<bool> running_{false};
    std::atomic<bool> lost_{false};
    std::atomic<bool> network_{false};

    // Set by open_port before the receiver starts, then the receiver's: what to reopen.
    std::string device_;
    std::optional<NetAddress> address_;
    PortSettings opened_;
    bool reconnect_ = true;
    bool lost_reported_ = false;  // a loss or a failed connection is on the screen
    // When the last network call began, or the device was last reopened.
    std::chrono::steady_clock::time_point last_call_{};
    int call_pause_ms_ = 0;  // the least time from that call to the next

    // Snapshot of the port settings at open.
    std::atomic<bool> local_echo_{true};
    std::atomic<bool> tx_lf_{false};
    std::atomic<bool> dsr_watch_{true};
};

}  // namespace kestrel
