#include "app/talk/talk_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "app/dialogs/cp932_field.h"

namespace kestrel::app {

namespace {

constexpr std::size_t message_read = 159;

bool alt_t(const QKeyEvent& key) {
    return key.key() == Qt::Key_T && (key.modifiers() & Qt::AltModifier);
}

}  // namespace

TalkWindow::TalkWindow(kestrel::TalkList& list, kestrel::CommandHistory& history)
    : QDialog(nullptr, Qt::Window), list_(list), history_(history) {
    setWindowTitle(QStringLiteral("TALK モード"));
    setAccessibleName(windowTitle());
    setObjectName(QStringLiteral("talk"));
    setModal(false);
    QFont font;
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({fixed.family(), QStringLiteral("IPAGothic")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(14);
    setFont(font);

    bar_ = new QWidget(this);
    auto* grid = new QGridLayout(bar_);
    grid->setContentsMargins(2, 2, 2, 2);
    callsign_ = new QLineEdit;
    callsign_->setAccessibleName(QStringLiteral("相手ｺｰﾙｻｲﾝ"));
    limit_callsign(callsign_, callsign_typed);
    callsign_->setFixedWidth(callsign_->fontMetrics().horizontalAdvance(QString(13, 'W')));
    message_ = new QLineEdit;
    message_->setAccessibleName(QStringLiteral("本文"));
    limit_cp932(message_, message_typed);
    filter_ = new QCheckBox(QStringLiteral("ｺｰﾙｻｲﾝ ﾌｨﾙﾀｰ"));
    base64_ = new QCheckBox(QStringLiteral("漢字でTALK (BASE64符号化) "));
    for (QCheckBox* box : {filter_, base64_}) box->setAccessibleName(box->text().trimmed());
    grid->addWidget(new QLabel(QStringLiteral("相手ｺｰﾙｻｲﾝ ")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("TALK + ")), 1, 0);
    grid->addWidget(callsign_, 1, 1);
    grid->addWidget(message_, 1, 2);
    grid->addWidget(filter_, 2, 1);
    grid->addWidget(base64_, 2, 2);
    grid->setColumnStretch(2, 1);

    list_widget_ = new QListWidget(this);
    list_widget_->setAccessibleName(QStringLiteral("TALK"));
    list_widget_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_widget_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_widget_->setUniformItemSizes(true);
    list_widget_->setFocusPolicy(Qt::ClickFocus);

    callsign_->installEventFilter(this);
    message_->installEventFilter(this);
    connect(callsign_, &QLineEdit::returnPressed, this, &TalkWindow::accept);
    connect(message_, &QLineEdit::returnPressed, this, &TalkWindow::accept);
    connect(callsign_, &QLineEdit::textChanged, this, &TalkWindow::filter_changed);
    connect(filter_, &QCheckBox::toggled, this, &TalkWindow::filter_changed);
    place_list();
    message_->setFocus();
}

void TalkWindow::set_state(std::string_view partner, bool base64, bool callsign_filter) {
    set_cp932_text(callsign_, partner, callsign_taken);
    base64_->setChecked(base64);
    filter_->setChecked(callsign_filter);
    filter_changed();
}

std::string TalkWindow::message() const { return cp932_text(message_, message_read); }
std::string TalkWindow::partner() const { return cp932_text(callsign_, callsign_taken); }
bool TalkWindow::base64() const { return base64_->isChecked(); }
bool TalkWindow::callsign_filter() const { return filter_->isChecked(); }
void TalkWindow::clear_message() { message_->clear(); }

void TalkWindow::filter_changed() { list_.set_filter({filter_->isChecked(), partner()}); }

void TalkWindow::refresh(bool focus_message) {
    const std::vector<std::string> entries = list_.entries();
    list_widget_->setUpdatesEnabled(false);
    const int count = int(entries.size());
    while (list_widget_->count() > count) delete list_widget_->takeItem(list_widget_->count() - 1);
    for (int i = 0; i < count; ++i) {
        const QString text = from_cp932(entries[std::size_t(i)]);
        if (i < list_widget_->count()) {
            if (list_widget_->item(i)->text() != text) list_widget_->item(i)->setText(text);
        } else {
            list_widget_->addItem(text);
        }
    }
    list_widget_->scrollToBottom();
    list_widget_->clearSelection();
    list_widget_->setCurrentRow(-1);
    list_widget_->setUpdatesEnabled(true);
    if (focus_message) message_->setFocus();
}

void TalkWindow::post_line(std::string_view line) {
    {
        std::lock_guard lock(lines_mutex_);
        lines_.emplace_back(line);
        if (lines_.size() > 1) return;  // a take is pending already
    }
    QMetaObject::invokeMethod(this, &TalkWindow::take_lines, Qt::QueuedConnection);
}

void TalkWindow::take_lines() {
    std::deque<std::string> lines;
    {
        std::lock_guard lock(lines_mutex_);
        lines.swap(lines_);
    }
    bool added = false;
    for (const std::string& line : lines) added = list_.talk_intake(line) || added;
    if (added) refresh(false);
}

void TalkWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit close_requested();
}

void TalkWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    place_list();
}

// The fields and boxes take the top band; the list fills the rest to the bottom.
void TalkWindow::place_list() {
    const int band = bar_->sizeHint().height();
    bar_->setGeometry(0, 0, width(), band);
    list_widget_->setGeometry(0, band + 1 + 5, width() + 1, std::max(height() - band - 5, 0));
}

bool TalkWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || (watched != message_ && watched != callsign_)) {
        return QDialog::eventFilter(watched, event);
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (alt_t(key)) {
        emit close_requested();
        return true;
    }
    if (watched == message_ && !recall_into(message_, history_, key.key()) &&
        key.key() == Qt::Key_End) {
        emit macro_picker_requested();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kestrel::app
