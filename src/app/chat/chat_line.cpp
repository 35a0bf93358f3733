#include "app/chat/chat_line.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>

#include "app/dialogs/cp932_field.h"

namespace kestrel::app {

ChatLine::ChatLine(kestrel::CommandHistory& history, QWidget* owner)
    : QDialog(owner), history_(history) {
    setWindowTitle(QStringLiteral("チャット モード"));
    setAccessibleName(windowTitle());
    setObjectName(QStringLiteral("chat"));
    setModal(false);
    field_ = new QLineEdit;
    field_->setAccessibleName(windowTitle());
    limit_cp932(field_, field_bytes);
    field_->installEventFilter(this);
    connect(field_, &QLineEdit::returnPressed, this, &ChatLine::accept);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(field_);
    field_->setFocus();
}

std::string ChatLine::text() const { return cp932_text(field_, field_bytes); }

void ChatLine::clear() { field_->clear(); }

void ChatLine::append_macro(std::string_view cp932) {
    std::string text = cp932_text(field_, kept_for_macro);
    text.append(cp932);
    set_cp932_text(field_, text, field_bytes);
}

void ChatLine::place_over(const QWidget& client) {
    move(client.mapToGlobal(QPoint(0, 0)));
    resize(std::max(client.width(), sizeHint().width()), sizeHint().height());
}

void ChatLine::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit close_requested();
}

bool ChatLine::eventFilter(QObject* watched, QEvent* event) {
    if (watched != field_ || event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    // ALT+C closes; other ALT combinations type nothing here.
    if ((key.modifiers() & Qt::AltModifier) && !(key.modifiers() & Qt::ControlModifier)) {
        if (key.key() == Qt::Key_C) emit close_requested();
        return true;
    }
    if (recall_into(field_, history_, key.key())) return true;
    // The macro lands at the end of the text; END then moves the caret there as usual.
    if (key.key() == Qt::Key_End) emit macro_picker_requested();
    return QDialog::eventFilter(watched, event);
}

}  // namespace kestrel::app
