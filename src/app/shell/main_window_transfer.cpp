// The upload and copy-out commands and the upload's in-progress window. The core does the
// work (kestrel::Upload, copy_out); the window only reads the clipboard, sets it, and shows
// or removes "U/L中". HOME's resume is in the key table.

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "app/dialogs/pause_string_dialog.h"
#include "app/dialogs/upload_window.h"
#include "app/shell/command_ids.h"
#include "app/shell/main_window.h"
#include "core/transfer/copy_out.h"

namespace kestrel::app {

void MainWindow::upload_command() {
    if (upload_.start_file()) show_upload_window();
    menu_refresh();
}

// The clipboard is read here, on the GUI thread, once: the worker sends a copy.
void MainWindow::clipboard_upload_command() {
    std::optional<std::string> text;
    if (const QMimeData* clip = QGuiApplication::clipboard()->mimeData()) {
        text = clip->hasText() ? clip->text().toStdString() : std::string();
    }
    if (upload_.start_clipboard(text)) show_upload_window();
    menu_refresh();
}

bool MainWindow::start_connect_file_upload() {
    const kestrel::Settings& settings = s_.settings;
    const bool started =
        upload_.start_connect_file(settings.rbbs[settings.default_fkey_no].connect_file.view());
    if (started) show_upload_window();
    menu_refresh();
    return started;
}

void MainWindow::abort_upload_command() {
    upload_.abort();
    close_upload_window();
    menu_refresh();
}

void MainWindow::pause_string_command() { run_pause_string_dialog(this, s_.settings, run_dialog); }

void MainWindow::copy_command(int id) {
    using namespace command;
    const bool quote = id == copy_clipboard_quoted || id == copy_file_quoted;
    const std::string_view mark = s_.settings.inyou_str.view();
    if (id == copy_clipboard || id == copy_clipboard_quoted) {
        if (auto text = kestrel::copy_to_clipboard_text(s_.store, s_.desktop, mark, quote)) {
            QGuiApplication::clipboard()->setText(QString::fromStdString(*text));
        }
    } else {
        kestrel::copy_to_file(s_.store, s_.desktop, s_.capture.overwrite_choice(),
                              s_.settings.dl_dir.view(), mark, quote);
    }
}

void MainWindow::show_upload_window() {
    close_upload_window();  // one left over from the upload before
    upload_window_ = new UploadWindow(this, upload_.name());
    connect(upload_window_, &UploadWindow::abort_requested, this,
            &MainWindow::abort_upload_command);
}

// Later rather than at once: "強制終了" removes the window from inside its own click.
void MainWindow::close_upload_window() {
    if (upload_window_ == nullptr) return;
    upload_window_->hide();
    upload_window_->deleteLater();
    upload_window_ = nullptr;
}

}  // namespace kestrel::app
