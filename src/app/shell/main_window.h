#pragma once
// The main frame: menu, toolbar and the two panes; the keyboard routing of the main
// frame's key table; the single command dispatcher with its timers and the menu state;
// start-up from the settings and the shutdown order.

#include <QDialog>
#include <QMainWindow>
#include <QTimer>
#include <functional>

#include "app/screen/backscroll_pane.h"
#include "app/screen/pane_context.h"
#include "app/screen/pane_input.h"
#include "app/screen/terminal_pane.h"
#include "app/shell/cluster_part.h"
#include "app/shell/command_table.h"
#include "app/shell/menu_bar.h"
#include "app/shell/session.h"
#include "app/shell/tool_bar.h"
#include "core/bbs/rbbs_commands.h"
#include "core/input/terminal_input.h"
#include "core/transfer/upload.h"

namespace kestrel::app {

class ChatLine;
class HelpWindow;
class UploadWindow;

class MainWindow : public QMainWindow, public PaneInput {
    Q_OBJECT
public:
    explicit MainWindow(Session& session);
    ~MainWindow() override;

    // Start-up from the settings to the shown window. `show_window` false leaves it hidden.
    void start(bool show_window = true);

    // Runs the command table's row for `id`; any other id is ignored.
    void dispatch(int id);
    // The marks that follow the state: enabled items and check marks.
    void menu_refresh();
    // Before a menu opens: the items whose state is read only then, and the RBBS labels.
    void init_menu_popup();
    // The RS-232C menu command; true when the dialog ended with OK. `device_first` puts the
    // cursor in the device field, for a COM port that has no device on this machine.
    bool rs232c_command(bool device_first = false);
    // The current RBBS record's connect-file upload (the RBBS dialog's U/L button): true
    // when it started, its in-progress window shown.
    bool start_connect_file_upload();

    // How modal dialogs of the shell are run; tests answer them here.
    std::function<int(QDialog&)> run_dialog = [](QDialog& dialog) { return dialog.exec(); };

    TerminalPane* terminal_pane() const { return terminal_; }
    BackscrollPane* backscroll_pane() const { return backscroll_pane_; }
    QToolBar* tool_bar() const { return tool_bar_.bar; }
    QAction* menu_item(int id) const { return menu_.item(id); }
    QAction* tool_button(int id) const { return tool_bar_.buttons.at(id); }
    const std::vector<QMenu*>& menus() const { return menu_.menus; }
    bool status_timer_running() const { return status_timer_.isActive(); }
    bool minute_timer_running() const { return minute_timer_.isActive(); }
    const PaneContext& pane_context() const { return context_; }
    // The PC scope and TALK windows, their spots, list and clock.
    ClusterPart& cluster() { return cluster_; }
    // Timer 3: ages the spots and refreshes the PC scope window.
    void minute_tick();
    const kestrel::Upload& upload() const { return upload_; }
    UploadWindow* upload_window() const { return upload_window_; }
    // The manual's window once "ヘルプ" has opened it.
    HelpWindow* help_window() const { return help_; }
    // Where "ヘルプ" looks for the manual's index.html, in order; empty: the installed copy
    // beside the program, then the source tree's (tests point it elsewhere).
    QStringList manual_dirs;
    // "チャット モード" while it is open.
    ChatLine* chat_line() const { return chat_; }

    // PaneInput.
    bool key_down(const QKeyEvent& event) override;
    bool claims_key(const QKeyEvent& event) const override;
    void characters(std::string_view cp932) override;
    void wheel(int delta, Qt::KeyboardModifiers modifiers) override;
    void focus_changed(bool focused) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend std::span<const CommandRow> command_table();
    friend struct KeyBinding;

    // Command-table glue: `call<&f>` runs a member, `call_id<&f>` one that takes the id.
    template <void (MainWindow::*f)()>
    static void call(MainWindow& w, int) {
        (w.*f)();
    }
    template <void (MainWindow::*f)(int)>
    static void call_id(MainWindow& w, int id) {
        (w.*f)(id);
    }

    // Commands.
    void upload_command();
    void clipboard_upload_command();
    void abort_upload_command();
    void pause_string_command();
    void copy_command(int id);
    void send_break_command();
    void download_command();
    void date_download_command();
    void end_download_command();
    void close_window() { close(); }
    void clear_scroll_buffer_command();
    void clear_marks_command();
    void tnc_clock_command();
    void enter_split_view();
    void leave_split_view();
    void divider_up();
    void divider_down();
    void rs232c_menu_command() { rs232c_command(); }
    void font_command();
    void reverse_video_command();
    void tool_bar_command();
    void colour_command(int id);
    void time_stamp_command();
    void save_settings_command();
    void rbbs_command(int id);
    void about_box();
    void home_page_command();
    void help_command();
    // The external programs (main_window_programs.cpp).
    void register_programs_command();
    void run_program(int id);
    // The packet cluster (main_window_cluster.cpp).
    void toggle_pc_scope();
    void open_pc_scope();
    void close_pc_scope();
    void cluster_options_command();
    void toggle_talk();
    void open_talk();
    void close_talk();
    void talk_send();
    void close_cluster_windows();
    // The chat line and the key macros (main_window_chat.cpp).
    void toggle_chat();
    void open_chat();
    void close_chat();
    void chat_send();
    void key_macro_command();
    // END: the macro dialog in send mode; the picked macro is typed into the terminal, or
    // with `to_chat_line` appended to the chat line's text.
    void send_key_macro(bool to_chat_line);

    // The state the menu items follow.
    bool capturing() const { return s_.capture.is_open(); }
    bool no_capture() const { return !capturing(); }
    // Any upload, file or clipboard: one runs at a time.
    bool uploading() const { return upload_.running(); }
    bool no_upload() const { return !uploading(); }
    bool split() const { return s_.backscroll.split_view(); }
    bool not_split() const { return !split(); }
    bool reversed() const { return s_.settings.rev_text_col != 0; }
    bool tool_bar_shown() const { return s_.settings.tool_bar != 0; }
    bool chat_open() const { return chat_ != nullptr; }
    bool pc_scope_open() const { return cluster_.scope != nullptr; }
    bool talk_open() const { return cluster_.talk != nullptr; }
    bool lines_selected() const { return s_.store.count_selected() > 0; }
    bool lines_marked() const { return s_.store.count_kinds() > 0; }
    bool clipboard_has_text() const;

    // Keys.
    void page_key(bool up);
    void arrow_key(bool up, bool shift, bool ctrl);
    void side_key(bool left, bool shift);
    void function_key(int n, bool shift, bool ctrl);
    void sync_after_scroll();
    void show_recalled_line(std::string_view text);

    void layout_panes(bool minus_two);
    void apply_font();
    void apply_colours();
    void repaint_both();
    void on_repaint_due(bool terminal, bool backscroll);
    void on_split_view_due(bool on);

    // The RBBS records (main_window_rbbs.cpp).
    void open_rbbs_dialog(int record);
    void send_connect_command();
    void select_record(int record);
    void update_rbbs_label();
    void rbbs_menu_labels();
    void external_program_labels();
    void status_tick();
    void start_status_timer();
    void not_connected();
    // Settings brought from another machine (main_window_startup.cpp): true after telling
    // the operator that the COM port's default device has no serial port here; the
    // settings that hold Windows paths, offering the folders dialog.
    bool port_lacks_device();
    void report_windows_paths();
    void shutdown();
    void show_upload_window();
    void close_upload_window();

    Session& s_;
    PaneContext context_;
    QWidget* client_ = nullptr;
    TerminalPane* terminal_ = nullptr;
    BackscrollPane* backscroll_pane_ = nullptr;
    kestrel::TerminalInput input_;
    kestrel::RbbsCommands rbbs_{s_.link,       s_.history,  s_.capture, s_.store,
                                s_.backscroll, s_.settings, s_.desktop};
    kestrel::Upload upload_{s_.link, s_.store, s_.capture, s_.settings, s_.desktop};
    UploadWindow* upload_window_ = nullptr;  // "U/L中", until timer 2 or Abort removes it
    MenuActions menu_;
    ToolBar tool_bar_;
    QTimer break_timer_;   // 1: ends a break
    QTimer status_timer_;  // 2: the status line
    QTimer minute_timer_;  // 3: the minute tick
    ClusterPart cluster_;
    HelpWindow* help_ = nullptr;  // hidden, not deleted, when the operator closes it
    ChatLine* chat_ = nullptr;
    bool first_sized_ = false;
    bool shut_down_ = false;
};

}  // namespace kestrel::app
