// What the commands of the command table do.

#include <QClipboard>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/dialogs/colour_dialog.h"
#include "app/dialogs/cp932_field.h"
#include "app/dialogs/font_dialog.h"
#include "app/dialogs/rs232c_dialog.h"
#include "app/dialogs/time_stamp_dialog.h"
#include "app/help/help_window.h"
#include "app/shell/command_ids.h"
#include "app/shell/main_window.h"
#include "app/shell/program_icon.h"
#include "app/version.h"
#include "core/settings/settings_io.h"
#include "core/text/sjis.h"

namespace kestrel::app {

namespace {

constexpr int break_ms = 500;

}  // namespace

void MainWindow::dispatch(int id) {
    for (const CommandRow& row : command_table()) {
        if (row.has(id)) {
            row.run(*this, id);
            return;
        }
    }
}

void MainWindow::menu_refresh() {
    for (const CommandRow& row : command_table()) {
        if (row.kind != CommandRow::Kind::command) continue;
        QAction* action = menu_.item(row.id);
        if (row.enabled != nullptr && row.when == CommandRow::When::refresh) {
            action->setEnabled((this->*row.enabled)());
        }
        if (row.checked != nullptr) {
            // An item shows its mark only while checked: no empty box beside the others.
            const bool on = (this->*row.checked)();
            action->setCheckable(on);
            action->setChecked(on);
        }
    }
}

void MainWindow::init_menu_popup() {
    for (const CommandRow& row : command_table()) {
        if (row.enabled != nullptr && row.when == CommandRow::When::popup) {
            menu_.item(row.id)->setEnabled((this->*row.enabled)());
        }
    }
    rbbs_menu_labels();
}

bool MainWindow::clipboard_has_text() const {
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    return clip != nullptr && clip->hasText();
}

void MainWindow::tnc_clock_command() {
    if (!s_.link.tnc_connected()) return not_connected();
    s_.link.send_tnc_clock();
}

void MainWindow::send_break_command() {
    s_.link.send_break();
    break_timer_.start(break_ms);
}

void MainWindow::download_command() {
    s_.capture.start_download(s_.settings.dl_dir.view());
    menu_refresh();
}

void MainWindow::date_download_command() {
    const kestrel::Settings& settings = s_.settings;
    s_.capture.start_date_named_download(settings.dl_dir.view(),
                                         settings.rbbs[settings.default_fkey_no].extension.view());
    menu_refresh();
}

void MainWindow::end_download_command() {
    s_.capture.end_download();
    menu_refresh();
}

void MainWindow::clear_scroll_buffer_command() {
    kestrel::clear_scroll_buffer(s_.store, s_.backscroll, s_.desktop);
    terminal_->update();
}

void MainWindow::clear_marks_command() {
    kestrel::clear_marks(s_.store, s_.backscroll, s_.desktop);
    terminal_->update();
}

// The menu item, the divider commands outside split view and PAGE UP all enter it.
void MainWindow::enter_split_view() {
    if (!split()) s_.backscroll.scroll(kestrel::ScrollRequest::line_up);
}

void MainWindow::leave_split_view() {
    if (split()) s_.backscroll.leave_split_view();
}

void MainWindow::reverse_video_command() {
    kestrel::Settings& settings = s_.settings;
    settings.rev_text_col = settings.rev_text_col != 0 ? 0 : 1;
    apply_colours();
    menu_refresh();
    terminal_->repaint();
    if (backscroll_pane_->isVisible()) backscroll_pane_->repaint();
}

void MainWindow::tool_bar_command() {
    kestrel::Settings& settings = s_.settings;
    settings.tool_bar = settings.tool_bar != 0 ? 0 : 1;
    tool_bar_.bar->setVisible(settings.tool_bar != 0);
    menu_refresh();
    layout_panes(false);
}

void MainWindow::time_stamp_command() {
    kestrel::Settings& settings = s_.settings;
    bool on = settings.time_stamp != 0;
    if (run_time_stamp_dialog(this, on, run_dialog)) {
        settings.time_stamp = on ? 1 : 0;
        s_.store.set_time_stamp(on);
    }
}

void MainWindow::save_settings_command() {
    kestrel::save_settings(s_.file, s_.settings, s_.desktop);
    kestrel::save_colours_macros(s_.file, s_.settings);
}

// Where no browser takes the address, the operator is told it, to open it by hand.
void MainWindow::home_page_command() {
    if (QDesktopServices::openUrl(QUrl(QString::fromUtf8(home_page_address)))) return;
    s_.desktop.tell(std::string(home_page_address) + kestrel::text::sjis(" を開けません"),
                    kestrel::MessageIcon::warning);
}

// One help window, shown again and brought up at each "ヘルプ", the manual read anew.
void MainWindow::help_command() {
    const QStringList dirs = manual_dirs.isEmpty() ? default_manual_dirs() : manual_dirs;
    const QString index = find_manual(dirs);
    if (index.isEmpty()) {
        s_.desktop.tell(kestrel::text::sjis("ﾍﾙﾌﾟ (index.html) が見つかりません:\n") +
                            to_cp932(dirs.join(QLatin1Char('\n'))),
                        kestrel::MessageIcon::warning);
        return;
    }
    if (help_ == nullptr) help_ = new HelpWindow(this);
    help_->open(index);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void MainWindow::not_connected() {
    s_.desktop.tell(kestrel::text::sjis("TNCが接続されていないか電源が入っていません"));
}

bool MainWindow::rs232c_command(bool device_first) {
    if (shut_down_) return false;
    if (capturing() || uploading()) {
        s_.desktop.tell(kestrel::text::sjis("ﾀﾞｳﾝﾛｰﾄﾞまたはｱｯﾌﾟﾛｰﾄﾞ中にRS232C設定はできません"));
        return false;
    }
    if (s_.link.port_is_open()) s_.link.close_port();
    kestrel::Settings& settings = s_.settings;
    Rs232cDialog dialog(settings.port, settings.port_devices, isVisible() ? this : nullptr);
    auto* field = dialog.findChild<QWidget*>(QStringLiteral("device_field"));
    if (device_first && field != nullptr) field->setFocus();
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

void MainWindow::colour_command(int id) {
    kestrel::Settings& settings = s_.settings;
    kestrel::Colour& colour = id == command::cursor_colour      ? settings.cursor_col
                              : id == command::selection_colour ? settings.area_col
                              : id == command::quote_colour     ? settings.inyou_col
                                                                : settings.pause_col;
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
    icon->setPixmap(program_icon().pixmap(32, 32));
    layout->addWidget(icon);
    for (const QString& line : {QStringLiteral("ﾊﾟｹｯﾄ通信専用ﾀｰﾐﾅﾙ"),
                                QStringLiteral("Kestrel ver") + QString::fromUtf8(version_text)}) {
        auto* label = new QLabel(line, &box);
        label->setAccessibleName(line);
        layout->addWidget(label);
    }
    auto* address = new QLineEdit(QString::fromUtf8(home_page_address), &box);
    address->setReadOnly(true);
    // Wide enough for the whole address, shown from its start.
    address->setMinimumWidth(address->fontMetrics().horizontalAdvance(address->text()) + 16);
    address->setCursorPosition(0);
    address->setAccessibleName(QStringLiteral("ﾎｰﾑﾍﾟｰｼﾞ"));
    layout->addWidget(address);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(buttons);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
    run_dialog(box);
}

}  // namespace kestrel::app
