#include "app/screen/search_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/accessibility/announce.h"
#include "app/dialogs/cp932_field.h"

namespace kestrel::app {

namespace {

QPushButton* small_button(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setAccessibleName(name);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

SearchBar::SearchBar(kestrel::Backscroll& backscroll, QWidget* parent)
    : QFrame(parent), search_(backscroll), field_(new QLineEdit(this)), note_(new QLabel(this)) {
    setObjectName(QStringLiteral("search_bar"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    field_->setAccessibleName(QStringLiteral("検索"));
    field_->setPlaceholderText(QStringLiteral("検索"));
    field_->setMinimumWidth(160);
    limit_cp932(field_, kestrel::ScreenLine::columns);
    field_->installEventFilter(this);
    note_->setAccessibleName(QStringLiteral("検索結果"));
    QPushButton* previous = small_button(QStringLiteral("▲"), QStringLiteral("前"), this);
    QPushButton* next = small_button(QStringLiteral("▼"), QStringLiteral("次"), this);
    QPushButton* close = small_button(QStringLiteral("×"), QStringLiteral("閉じる"), this);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    row->addWidget(field_);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(note_);
    row->addWidget(close);

    connect(field_, &QLineEdit::textEdited, this,
            [this](const QString& text) { show_result(search_.set_text(to_cp932(text)), true); });
    connect(previous, &QPushButton::clicked, this,
            [this] { show_result(search_.previous(), false); });
    connect(next, &QPushButton::clicked, this, [this] { show_result(search_.next(), true); });
    connect(close, &QPushButton::clicked, this, &SearchBar::close_bar);
    hide();
}

void SearchBar::open() {
    show();
    raise();
    field_->setFocus();
    field_->selectAll();
}

void SearchBar::close_bar() {
    const bool had_focus = field_->hasFocus();
    hide();
    search_.forget();
    note_->clear();
    emit moved();
    // The terminal pane is the main frame's focus proxy.
    if (had_focus) window()->setFocus();
}

std::optional<int> SearchBar::highlight_column(std::string_view cursor_line) const {
    if (!isVisible()) return std::nullopt;
    return search_.highlight_column(cursor_line);
}

bool SearchBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            close_bar();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const bool older = !(key->modifiers() & Qt::ShiftModifier);
            show_result(older ? search_.next() : search_.previous(), older);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void SearchBar::show_result(const kestrel::ScrollSearch::Result& result, bool older) {
    using Outcome = kestrel::ScrollSearch::Outcome;
    QString note;
    switch (result.outcome) {
        case Outcome::empty: break;
        case Outcome::not_found: note = QStringLiteral("見つかりません"); break;
        case Outcome::found: break;
        // Past the oldest line the walk goes on from the newest, and the other way round.
        case Outcome::wrapped:
            note = older ? QStringLiteral("最新の行から続けました")
                         : QStringLiteral("最も古い行から続けました");
            break;
    }
    note_->setText(note);
    if (result.outcome == Outcome::found || result.outcome == Outcome::wrapped) {
        const QString line = from_cp932(result.line);
        announce(field_, note.isEmpty() ? line : note + QStringLiteral("  ") + line);
    } else if (!note.isEmpty()) {
        announce(field_, note);
    }
    emit moved();
}

}  // namespace kestrel::app
