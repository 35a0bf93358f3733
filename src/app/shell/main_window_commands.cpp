// The single command dispatcher: every menu item, accelerator and toolbar button arrives
// here by its command id.

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/dialogs/colour_dialog.h"
#include "app/dialogs/font_dialog.h"
#include "app/dialogs/rs232c_dialog.h"
#include "app/dialogs/time_stamp_dialog.h"
#include "app/shell/command_ids.h"
#include "app/shell/main_window.h"
#include "core/settings/settings_io.h"
#include "core/text/sjis.h"

namespace kestrel::app {

namespace {

constexpr int break_ms = 500;
const QString home_page_address = QStringLiteral("https://kestrel-packet.example.org/");

}  // namespace

void MainWindow::dispatch(int id) {
    using namespace command;
    kestrel::Settings& settings = s_.settings;
    switch (id) {
        case upload:
        case clipboard_upload:
            if (!s_.link.tnc_connected()) {
                not_connected();
                return;
            }
            emit unconnected_command(id);
            return;
        case tnc_clock:
            if (!s_.link.tnc_connected()) {
                not_connected();
                return;
            }
            s_.link.send_tnc_clock();
            return;
        case send_break:
            s_.link.send_break();
            break_timer_.start(break_ms);
            return;
        case exit_program: close(); return;
        case clear_scroll_buffer:
            kestrel::clear_scroll_buffer(s_.store, s_.backscroll, s_.desktop);
            terminal_->update();
            return;
        case clear_marks:
            kestrel::clear_marks(s_.store, s_.backscroll, s_.desktop);
            terminal_->update();
            return;
        case backscroll:
            if (!s_.backscroll.split_view()) s_.backscroll.scroll(kestrel::ScrollRequest::line_up);
            return;
        case leave_split:
            if (s_.backscroll.split_view()) s_.backscroll.leave_split_view();
            return;
        case move_divider_up:
        case move_divider_down:
            if (!s_.backscroll.split_view()) {
                s_.backscroll.scroll(kestrel::ScrollRequest::line_up);
            } else if (id == move_divider_up) {
                this->divider_up();
            } else {
                this->divider_down();
            }
            return;
        case rs232c: rs232c_command(); return;
        case font_size: font_command(); return;
        case reverse_video:
            settings.rev_text_col = settings.rev_text_col != 0 ? 0 : 1;
            apply_colours();
            menu_refresh();
            terminal_->repaint();
            if (backscroll_pane_->isVisible()) backscroll_pane_->repaint();
            return;
        case toggle_tool_bar:
            settings.tool_bar = settings.tool_bar != 0 ? 0 : 1;
            tool_bar_.bar->setVisible(settings.tool_bar != 0);
            menu_refresh();
            layout_panes(false);
            return;
        case cursor_colour: choose_colour_command(settings.cursor_col); return;
        case selection_colour: choose_colour_command(settings.area_col); return;
        case quote_colour: choose_colour_command(settings.inyou_col); return;
        case pause_colour: choose_colour_command(settings.pause_col); return;
        case time_stamp: {
            bool on = settings.time_stamp != 0;
            if (run_time_stamp_dialog(this, on, run_dialog)) {
                settings.time_stamp = on ? 1 : 0;
                s_.store.set_time_stamp(on);
            }
            return;
        }
        case save_settings:
            kestrel::save_settings(s_.file, settings, s_.desktop);
            kestrel::save_colours_macros(s_.file, settings);
            return;
        case about: about_box(); return;
        case download:
            s_.capture.start_download(settings.dl_dir.view());
            menu_refresh();
            return;
        case date_download:
            s_.capture.start_date_named_download(
                settings.dl_dir.view(), settings.rbbs[settings.default_fkey_no].extension.view());
            menu_refresh();
            return;
        case end_download:
            s_.capture.end_download();
            menu_refresh();
            return;
        default: break;
    }
    if (id == home_page) {
        QDesktopServices::openUrl(QUrl(home_page_address));
        return;
    }
    if (id == help) {
        // The help file is not written yet; nothing is reported, as for a missing one.
        return;
    }
    if ((id >= rbbs_first && id <= rbbs_twelfth) || (id >= rbbs_thirteenth && id <= rbbs_last)) {
        emit rbbs_dialog_requested(id <= rbbs_twelfth ? id - rbbs_first
                                                      : 12 + id - rbbs_thirteenth);
        return;
    }
    switch (id) {
        // Features that come later: upload abort, copy out, external programs, chat line,
        // PC scope, TALK, folders, pause string, cluster options, key macros.
        case abort_upload:
        case register_programs:
        case copy_clipboard:
        case copy_clipboard_quoted:
        case copy_file:
        case copy_file_quoted:
        case chat:
        case pc_scope:
        case talk:
        case folders:
        case pause_string:
        case cluster_options:
        case key_macros: emit unconnected_command(id); return;
        default:
            if (id >= program_1 && id <= program_5) emit unconnected_command(id);
            return;  // any other id is ignored
    }
}

void MainWindow::not_connected() {
    s_.desktop.tell(kestrel::text::sjis("TNCが接続されていないか電源が入っていません"));
}

bool MainWindow::rs232c_command() {
    if (shut_down_) return false;
    if (s_.capture.is_open() || upload_open()) {
        s_.desktop.tell(kestrel::text::sjis("ﾀﾞｳﾝﾛｰﾄﾞまたはｱｯﾌﾟﾛｰﾄﾞ中にRS232C設定はできません"));
        return false;
    }
    if (s_.link.port_is_open()) s_.link.close_port();
    kestrel::Settings& settings = s_.settings;
    Rs232cDialog dialog(settings.port, settings.port_devices, isVisible() ? this : nullptr);
    const bool ok = run_dialog(dialog) == QDialog::Accepted;
    // Cancel keeps the fields as they were: the dialog only ever changed its own copy.
    if (ok) {
        settings.port = dialog.port_settings();
        settings.port_devices = dialog.port_devices();
    }
    // Shut down while the dialog was open (SIGTERM, the window closed): the port stays shut.
    if (shut_down_) return ok;
    if (s_.link.open_port()) start_status_timer();
    return ok;
}

void MainWindow::choose_colour_command(kestrel::Colour& colour) {
    choose_colour(this, colour);
    apply_colours();
    terminal_->repaint();
    if (s_.backscroll.split_view()) backscroll_pane_->repaint();
}

void MainWindow::font_command() {
    run_font_dialog(this, s_.settings, &s_.desktop, run_dialog);
    apply_font();
    layout_panes(true);
    s_.store.move_cursor_home();
    terminal_->update();
    backscroll_pane_->update();
    tool_bar_.bar->setVisible(s_.settings.tool_bar != 0);
}

void MainWindow::about_box() {
    QDialog box(terminal_);
    box.setWindowTitle(QString());
    box.setAccessibleName(QStringLiteral("Kestrel に ついて"));
    auto* layout = new QVBoxLayout(&box);
    auto* icon = new QLabel(&box);
    icon->setPixmap(windowIcon().pixmap(32, 32));
    layout->addWidget(icon);
    for (const QString& line :
         {QStringLiteral("ﾊﾟｹｯﾄ通信専用ﾀｰﾐﾅﾙ"), QStringLiteral("Kestrel ver2.0b")}) {
        auto* label = new QLabel(line, &box);
        label->setAccessibleName(line);
        layout->addWidget(label);
    }
    auto* address = new QLineEdit(home_page_address, &box);
    address->setReadOnly(true);
    address->setAccessibleName(QStringLiteral("ﾎｰﾑﾍﾟｰｼﾞ"));
    layout->addWidget(address);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(buttons);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
    run_dialog(box);
}

}  // namespace kestrel::app
