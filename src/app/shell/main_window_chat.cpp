// The chat line and the key macros: opening and closing "チャット モード", sending its line,
// and the macro dialog in its two modes with the picked macro's delivery.

#include <QLineEdit>

#include "app/chat/chat_line.h"
#include "app/macros/key_macro_dialog.h"
#include "app/shell/main_window.h"
#include "core/input/chat_line.h"
#include "core/input/key_macros.h"

namespace kestrel::app {

void MainWindow::toggle_chat() {
    if (chat_) {
        close_chat();
    } else {
        open_chat();
    }
    menu_refresh();
}

void MainWindow::open_chat() {
    auto* chat = new ChatLine(s_.history, this);
    connect(chat, &ChatLine::send_requested, this, &MainWindow::chat_send);
    connect(chat, &ChatLine::close_requested, this, [this] {
        close_chat();
        menu_refresh();
    });
    connect(chat, &ChatLine::macro_picker_requested, this, [this] { send_key_macro(true); });
    chat->place_over(*client_);
    chat_ = chat;
    chat->show();
    chat->activateWindow();
    chat->field()->setFocus();
}

// The window may be the one whose event is being handled: the event loop deletes it. The
// keyboard it had goes back to the terminal.
void MainWindow::close_chat() {
    ChatLine* chat = chat_;
    if (!chat) return;
    chat_ = nullptr;
    const bool had_keyboard = chat->isActiveWindow();
    chat->hide();
    chat->deleteLater();
    if (had_keyboard) {
        activateWindow();
        terminal_->setFocus();
    }
}

void MainWindow::chat_send() {
    if (!chat_) return;
    kestrel::send_chat_line(s_.link, s_.history, chat_->text());
    chat_->clear();
    menu_refresh();
}

void MainWindow::key_macro_command() {
    run_key_macro_dialog(KeyMacroDialog::Mode::edit, s_.settings, terminal_, terminal_, run_dialog);
}

void MainWindow::send_key_macro(bool to_chat_line) {
    const int picked = run_key_macro_dialog(KeyMacroDialog::Mode::send, s_.settings, terminal_,
                                            terminal_, run_dialog);
    if (picked < 0) return;
    const std::string_view macro = s_.settings.key_macros[std::size_t(picked)].view();
    if (!to_chat_line) {
        kestrel::type_macro(input_, macro);
    } else if (chat_) {
        chat_->append_macro(macro);
    }
}

}  // namespace kestrel::app
