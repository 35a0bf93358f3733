#pragma once
// "チャット モード": a one-line editor in which a whole line is composed and edited before
// it goes to the TNC. A modeless window of the main frame's, at the top of its client area
// under the toolbar; being a window of its own, the main frame's shortcuts do not act in
// it (CTRL+V pastes into the field). The shell creates it, sends what it asks to send
// (send_requested, Enter) and closes it (close_requested: Escape, the close box, ALT+C).

#include <QDialog>
#include <string>
#include <string_view>

#include "core/screen/command_history.h"

class QLineEdit;

namespace kestrel::app {

class ChatLine : public QDialog {
    Q_OBJECT
public:
    // The field holds 160 CP932 bytes; a macro is appended to the first 159.
    static constexpr std::size_t field_bytes = 160, kept_for_macro = 159;

    // Up and Down in the field recall lines of `history`.
    ChatLine(kestrel::CommandHistory& history, QWidget* owner);

    std::string text() const;  // CP932
    void clear();
    // A picked key macro at the end of the text, cut to what the field holds; not sent.
    void append_macro(std::string_view cp932);
    // Top left of `client` (global), as wide as it.
    void place_over(const QWidget& client);

    QLineEdit* field() const { return field_; }

    // Enter: the send command.
    void accept() override { emit send_requested(); }
    // Escape: the cancel command.
    void reject() override { emit close_requested(); }

signals:
    void send_requested();
    void close_requested();
    // END in the field: the key-macro picker.
    void macro_picker_requested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    kestrel::CommandHistory& history_;
    QLineEdit* field_ = nullptr;
};

}  // namespace kestrel::app
