#include "app/macros/key_macro_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputMethod>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

#include "app/dialogs/cp932_field.h"
#include "app/dialogs/dialog_buttons.h"
#include "core/input/key_macros.h"

namespace kestrel::app {

namespace {

constexpr int focus_period_ms = 1000;
constexpr int column_rows = 13;  // A..M, then N..Z

}  // namespace

// Qt numbers the keys of the ASCII range by their upper-case character, on the keypad too.
int picked_macro(const QKeyEvent& key) {
    const int k = key.key();
    kestrel::KeyGroup group = kestrel::KeyGroup::other;
    int value = 0;
    if (key.modifiers() & Qt::KeypadModifier) {
        group = kestrel::KeyGroup::keypad;
        value = k < 0x80 ? k : 0;
    } else if (k >= Qt::Key_F1 && k <= Qt::Key_F24) {
        group = kestrel::KeyGroup::function;
        value = k - Qt::Key_F1 + 1;
    } else if (k < 0x80) {
        group = kestrel::KeyGroup::main;
        value = k;
    }
    return kestrel::picked_macro(kestrel::virtual_key(group, value));
}

KeyMacroDialog::KeyMacroDialog(Mode mode, const kestrel::Settings& settings, QWidget* parent)
    : QDialog(parent), mode_(mode) {
    setWindowTitle(mode == Mode::edit ? QStringLiteral("キーマクロ登録")
                                      : QStringLiteral("キーマクロ送信 (A..Z ｷｰ)"));
    setAccessibleName(windowTitle());
    auto* grid = new QGridLayout;
    for (int i = 0; i < kestrel::key_macro_count; ++i) {
        const QString letter(QChar('A' + i));
        auto* field = new QLineEdit;
        limit_cp932(field, field_bytes);
        set_cp932_text(field, settings.key_macros[std::size_t(i)].view(), field_bytes);
        field->setReadOnly(mode == Mode::send);
        field->setAccessibleName(letter);
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 30);
        auto* label = new QLabel(letter);
        label->setBuddy(field);
        const int column = i < column_rows ? 0 : 2;
        grid->addWidget(label, i % column_rows, column);
        grid->addWidget(field, i % column_rows, column + 1);
        fields_[std::size_t(i)] = field;
    }

    // The key field is shown but has no size: it only takes the keys. Letters are keys
    // here, not text, so the input method stays out of it.
    key_field_ = new QLineEdit(this);
    key_field_->setObjectName(QStringLiteral("key"));
    key_field_->setAccessibleName(QStringLiteral("A..Z ｷｰ"));
    key_field_->setGeometry(0, 0, 0, 0);
    key_field_->setAttribute(Qt::WA_InputMethodEnabled, false);
    key_field_->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    key_field_->setFocusPolicy(mode == Mode::send ? Qt::StrongFocus : Qt::NoFocus);
    key_field_->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    add_ok_cancel(this, buttons, QStringLiteral("戻る"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    focus_timer_.setInterval(focus_period_ms);
    connect(&focus_timer_, &QTimer::timeout, this, [this] {
        if (mode_ == Mode::send) key_field_->setFocus();
    });
}

std::array<std::string, kestrel::key_macro_count> KeyMacroDialog::macros() const {
    std::array<std::string, kestrel::key_macro_count> out;
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = cp932_text(fields_[i], stored_bytes);
    return out;
}

void KeyMacroDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (mode_ == Mode::edit) {
        fields_[0]->setFocus();
    } else {
        key_field_->setFocus();
    }
    focus_timer_.start();
}

void KeyMacroDialog::done(int result) {
    focus_timer_.stop();
    QDialog::done(result);
}

// A letter closes the dialog at once in send mode; any other key forgets an earlier pick
// and leaves it open. The field takes the key as usual either way.
bool KeyMacroDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == key_field_ && event->type() == QEvent::KeyPress) {
        picked_ = picked_macro(static_cast<const QKeyEvent&>(*event));
        if (picked_ >= 0 && mode_ == Mode::send) done(picked_result);
    }
    return QDialog::eventFilter(watched, event);
}

int run_key_macro_dialog(KeyMacroDialog::Mode mode, kestrel::Settings& settings, QWidget* parent,
                         QWidget* typing_widget, const std::function<int(QDialog&)>& run_dialog) {
    const QPointer<QWidget> had_focus = QApplication::focusWidget();
    const QPointer<QWidget> typing = typing_widget;
    const bool input_method_on = typing && typing->testAttribute(Qt::WA_InputMethodEnabled);
    if (typing) typing->setAttribute(Qt::WA_InputMethodEnabled, false);
    QGuiApplication::inputMethod()->reset();

    int picked = -1;
    {
        KeyMacroDialog dialog(mode, settings, parent);
        const int result = run_dialog ? run_dialog(dialog) : dialog.exec();
        if (mode == KeyMacroDialog::Mode::edit && result == QDialog::Accepted) {
            const auto macros = dialog.macros();
            for (std::size_t i = 0; i < macros.size(); ++i)
                settings.key_macros[i].assign(macros[i]);
        }
        if (mode == KeyMacroDialog::Mode::send && result == KeyMacroDialog::picked_result) {
            picked = dialog.picked();
        }
    }

    if (had_focus) {
        had_focus->activateWindow();
        had_focus->setFocus();
    }
    if (typing) typing->setAttribute(Qt::WA_InputMethodEnabled, input_method_on);
    QGuiApplication::inputMethod()->update(Qt::ImEnabled);
    return picked;
}

}  // namespace kestrel::app
