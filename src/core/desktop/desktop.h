#pragma once
// The core's one doorway to the desktop. The GUI implements it with real windows;
// tests implement it with a scripted fake. Every text crossing it is CP932 bytes.
//
// Threading: any thread may call it. `message_box` and `choose_file` block their caller
// until the operator answers. The repaint requests, `beep`, `menu_refresh` and
// `release_screen_saver` never block: they may be called with the line-store lock held, so
// an implementation only records or posts them.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

enum class MessageIcon { none, information, warning, error, question };
enum class MessageButtons { ok, ok_cancel, yes_no, yes_no_cancel };
enum class MessageAnswer { ok, cancel, yes, no };

// The caption every message box carries unless a caller says otherwise.
inline constexpr std::string_view message_caption = "Kestrel";

enum class Pane { terminal, backscroll };

// Paths are the file system's own bytes (UTF-8 on Linux), not CP932: a path must reach the
// file exactly as the system spells it. The chooser's title and suggested name are CP932.
struct FileChoice {
    // open: an existing file. save: a new name is accepted too; the caller asks about an
    // existing file itself, so the chooser does not.
    enum class Mode { open, save } mode = Mode::open;
    std::string title;           // CP932
    std::string directory;       // a path; where the chooser starts, empty: current directory
    std::string suggested_name;  // CP932, may be empty
    std::string filter;          // e.g. "*.txt"; empty: every file
};

class Desktop {
public:
    virtual ~Desktop() = default;

    virtual MessageAnswer message_box(std::string_view text, std::string_view caption,
                                      MessageIcon icon, MessageButtons buttons) = 0;
    virtual void beep() = 0;
    virtual void menu_refresh() = 0;

    // One row of a pane changed (row 0 is the top row).
    virtual void repaint_row(Pane pane, int row) = 0;
    // The whole pane changed; `erase` asks for the background to be cleared first.
    virtual void repaint_pane(Pane pane, bool erase) = 0;

    // Split view was entered or left by the core (the receiver's guard, clearing the
    // scroll buffer); the GUI shows or hides the back-scroll pane and lays out again.
    virtual void split_view_changed(bool on) = 0;

    // The path the operator chose, or nothing when the chooser was cancelled.
    virtual std::optional<std::string> choose_file(const FileChoice& choice) = 0;

    // Stops a running screen saver so the operator sees the terminal after a bell. The line
    // store asks at most once a second; where the desktop offers no such service, nothing.
    virtual void release_screen_saver() = 0;

    // The "そのファイルは既にあります" question of Download and copy-to-file: append or
    // overwrite, starting on `overwrite`. The caller keeps the choice, so both commands
    // share it: `overwrite` in the answer is the operator's last radio choice, kept even
    // when the dialog was cancelled (`ok` false).
    struct ExistingFileAnswer {
        bool ok = true;
        bool overwrite = false;
    };
    virtual ExistingFileAnswer ask_existing_file(bool overwrite) = 0;

    // Link::close_port joins the receiver, which may be waiting in a message box. While
    // this is on, message boxes asked for by threads other than the UI thread, pending or
    // new, are answered at once (Cancel, or No for yes/no) instead of waiting for the
    // operator. A desktop whose boxes never wait on the UI thread gives it an empty body.
    virtual void dismiss_background_messages(bool on) = 0;

    // The clock: whole seconds, and their local broken-down time.
    virtual std::time_t now() = 0;
    virtual std::tm local_time(std::time_t t) = 0;

    // Shorthand for the common "Kestrel" box with an OK button.
    MessageAnswer tell(std::string_view text, MessageIcon icon = MessageIcon::none) {
        return message_box(text, message_caption, icon, MessageButtons::ok);
    }
    bool ask_yes_no(std::string_view text, MessageIcon icon = MessageIcon::none) {
        return message_box(text, message_caption, icon, MessageButtons::yes_no) ==
               MessageAnswer::yes;
    }
};

// The system clock in the process's local time zone, for desktops that have no other.
std::time_t system_now();
std::tm system_local_time(std::time_t t);

}  // namespace kestrel
