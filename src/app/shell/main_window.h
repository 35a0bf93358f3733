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
#include "app/shell/menu_bar.h"
#include "app/shell/session.h"
#include "app/shell/tool_bar.h"

namespace kestrel::app {

class MainWindow : public QMainWindow, public PaneInput {
    Q_OBJECT
public:
    explicit MainWindow(Session& session);
    ~MainWindow() override;

    // Start-up from the settings to the shown window. `show_window` false leaves it hidden.
    void start(bool show_window = true);

    void dispatch(int id);
    void menu_refresh();
    // Before a menu opens: the copy items, "マーク消去", the clipboard upload and the RBBS
    // labels.
    void init_menu_popup();
    // The RS-232C menu command; true when the dialog ended with OK.
    bool rs232c_command();

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

    // PaneInput.
    bool key_down(const QKeyEvent& event) override;
    bool claims_key(const QKeyEvent& event) const override;
    void characters(std::string_view cp932) override;
    void wheel(int delta, Qt::KeyboardModifiers modifiers) override;
    void focus_changed(bool focused) override;

signals:
    // Commands whose features are not part of the program yet.
    void unconnected_command(int id);
    void rbbs_dialog_requested(int record);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void char_handler(std::uint8_t c);
    void show_recalled_line();
    void scroll_message(int code, int position);
    void divider_up();
    void divider_down();
    void arrow_in_split_view(bool up, bool shift, bool ctrl);

    void layout_panes(bool minus_two);
    void apply_font();
    void apply_colours();
    void repaint_both();
    void on_repaint_due(bool terminal, bool backscroll);
    void on_split_view_due(bool on);

    void select_record(int record);
    void update_rbbs_label();
    void rbbs_menu_labels();
    void external_program_labels();
    void status_tick();
    void start_status_timer();
    // Uploads are not part of the program yet.
    bool upload_open() const { return false; }
    void choose_colour_command(kestrel::Colour& colour);
    void font_command();
    void about_box();
    void not_connected();
    void shutdown();

    Session& s_;
    PaneContext context_;
    QWidget* client_ = nullptr;
    TerminalPane* terminal_ = nullptr;
    BackscrollPane* backscroll_pane_ = nullptr;
    MenuActions menu_;
    ToolBar tool_bar_;
    QTimer break_timer_;   // 1: ends a break
    QTimer status_timer_;  // 2: the status line
    QTimer minute_timer_;  // 3: the minute tick
    bool first_sized_ = false;
    bool shut_down_ = false;
};

}  // namespace kestrel::app
