#pragma once
// The key macro dialog: "キーマクロ登録" edits the 26 macros, "キーマクロ送信 (A..Z ｷｰ)"
// picks one with its letter key. Fields A..M on the left, N..Z on the right, read-only when
// picking; in send mode a field the operator does not see takes the keys, and timer 4 puts
// the keyboard back into it every second.

#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <array>
#include <functional>
#include <string>

#include "core/settings/settings.h"

class QLineEdit;

namespace kestrel::app {

// The macro a key picks (0..25), or -1: letters with or without SHIFT, and the keypad and
// function keys whose codes the rule upper-cases into the letters.
int picked_macro(const QKeyEvent& key);

class KeyMacroDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { send = 0, edit = 1 };
    // The result of a dialog closed by a letter key in send mode.
    static constexpr int picked_result = 2;
    static constexpr std::size_t field_bytes = 78, stored_bytes = 77;

    KeyMacroDialog(Mode mode, const kestrel::Settings& settings, QWidget* parent = nullptr);

    Mode mode() const { return mode_; }
    // The macro the last key in the key field picked, or -1.
    int picked() const { return picked_; }
    // The fields, CP932, each at most 77 bytes.
    std::array<std::string, kestrel::key_macro_count> macros() const;
    QLineEdit* field(int index) const { return fields_[std::size_t(index)]; }
    QLineEdit* key_field() const { return key_field_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Mode mode_;
    int picked_ = -1;
    std::array<QLineEdit*, kestrel::key_macro_count> fields_{};
    QLineEdit* key_field_ = nullptr;
    QTimer focus_timer_;  // timer 4
};

// Runs the dialog as the menu item and the END keys do. While it is open the input method
// of `typing_widget` (the terminal pane) is off; afterwards it is restored, and the
// keyboard goes back to the widget that had it. OK in edit mode stores the fields into
// `settings.key_macros`. Returns the picked macro's index in send mode, otherwise -1.
int run_key_macro_dialog(KeyMacroDialog::Mode mode, kestrel::Settings& settings, QWidget* parent,
                         QWidget* typing_widget,
                         const std::function<int(QDialog&)>& run_dialog = {});

}  // namespace kestrel::app
