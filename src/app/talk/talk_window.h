#pragma once
// The TALK window: the partner's callsign, the message field, the callsign filter and
// BASE64 boxes, and the conversation list. A modeless top-level window without owner; the
// shell creates it, sends what it asks to send (send_requested) and closes it
// (close_requested: Escape, the close box, ALT+T in either field).
//
// Threads: UI thread, except post_line, through which the receiver hands over each received
// line. The lines are taken in by the UI thread, in arrival order and after whatever it is
// doing: the operator's own TALK is listed before an answer that arrived while it was still
// being sent. A burst of lines waits in one queue and costs one refresh.

#include <QDialog>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>

#include "core/screen/command_history.h"
#include "core/talk/talk.h"

class QCheckBox;
class QLineEdit;
class QListWidget;

namespace kestrel::app {

class TalkWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr std::size_t message_typed = 158;
    static constexpr std::size_t callsign_typed = 12, callsign_taken = 11;

    // Up and Down in the message field recall lines of `history`.
    TalkWindow(kestrel::TalkList& list, kestrel::CommandHistory& history);

    // Fills the callsign field and both boxes; the list's filter follows them from now on.
    void set_state(std::string_view partner, bool base64, bool callsign_filter);
    std::string message() const;  // CP932
    std::string partner() const;  // CP932, the field's first 11 bytes
    bool base64() const;
    bool callsign_filter() const;
    void clear_message();

    // The list from TalkList::entries(), scrolled to its end with nothing selected; with
    // `focus_message` the message field takes the focus (after the operator's own TALK).
    void refresh(bool focus_message);
    // Any thread: `line` goes to the TALK intake on the UI thread, after the lines before it.
    void post_line(std::string_view line);

    QLineEdit* callsign_field() const { return callsign_; }
    QLineEdit* message_field() const { return message_; }
    QCheckBox* filter_box() const { return filter_; }
    QCheckBox* base64_box() const { return base64_; }
    QListWidget* talk_list() const { return list_widget_; }

    // Enter in either field: the OK command.
    void accept() override { emit send_requested(); }
    // Escape: the cancel command.
    void reject() override { emit close_requested(); }

signals:
    void send_requested();
    void close_requested();
    // END in the message field: the key-macro picker.
    void macro_picker_requested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void filter_changed();
    void take_lines();
    void place_list();

    kestrel::TalkList& list_;
    kestrel::CommandHistory& history_;
    std::mutex lines_mutex_;  // guards lines_
    std::deque<std::string> lines_;

    QWidget* bar_ = nullptr;
    QLineEdit* callsign_ = nullptr;
    QLineEdit* message_ = nullptr;
    QCheckBox* filter_ = nullptr;
    QCheckBox* base64_ = nullptr;
    QListWidget* list_widget_ = nullptr;
};

}  // namespace kestrel::app
