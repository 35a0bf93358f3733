#include "app/shell/qt_desktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "app/dialogs/existing_file_dialog.h"
#include "core/text/sjis.h"

namespace kestrel::app {

using kestrel::MessageAnswer;
using kestrel::MessageButtons;
using kestrel::MessageIcon;

namespace {

constexpr int frame_ms = 16;

QString from_cp932(std::string_view bytes) {
    return QString::fromStdString(kestrel::text::cp932_to_utf8(bytes));
}

}  // namespace

QtDesktop::QtDesktop(QObject* parent) : QObject(parent) {
    frame_timer_.setSingleShot(true);
    connect(&frame_timer_, &QTimer::timeout, this, &QtDesktop::paint_frame);
    since_frame_.start();
}

bool QtDesktop::on_gui_thread() const { return QThread::currentThread() == thread(); }

MessageAnswer QtDesktop::message_box(std::string_view text, std::string_view caption,
                                     MessageIcon icon, MessageButtons buttons) {
    Message message{kestrel::text::cp932_to_utf8(text), kestrel::text::cp932_to_utf8(caption), icon,
                    buttons};
    if (on_gui_thread()) return show_box(message);
    return ask_from_background(message);
}

// The request is carried out by the GUI thread; the caller waits for its result, or for
// the dismissal, whichever comes first.
template <typename T>
T QtDesktop::wait_for_gui(std::function<T()> show, T dismissed) {
    struct Pending {
        bool done = false;
        T result{};
    };
    auto pending = std::make_shared<Pending>();
    {
        std::lock_guard lock(boxes_mutex_);
        if (dismissing_) return dismissed;
    }
    QMetaObject::invokeMethod(
        this,
        [this, pending, show = std::move(show), dismissed] {
            {
                std::lock_guard lock(boxes_mutex_);
                if (pending->done) return;
            }
            T result = show();
            std::lock_guard lock(boxes_mutex_);
            if (pending->done) return;  // the caller took the dismissal already
            pending->done = true;
            // Dismissed while it was shown: the caller gets the dismissal all the same.
            pending->result = dismissing_ ? dismissed : std::move(result);
            box_answered_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(boxes_mutex_);
    box_answered_.wait(lock, [&] { return pending->done || dismissing_; });
    if (!pending->done) {
        pending->done = true;
        pending->result = std::move(dismissed);
    }
    return std::move(pending->result);
}

MessageAnswer QtDesktop::ask_from_background(const Message& message) {
    const MessageAnswer dismissed =
        message.buttons == MessageButtons::yes_no ? MessageAnswer::no : MessageAnswer::cancel;
    return wait_for_gui<MessageAnswer>([this, message] { return show_box(message); }, dismissed);
}

void QtDesktop::dismiss_background_messages(bool on) {
    std::lock_guard lock(boxes_mutex_);
    dismissing_ = on;
    box_answered_.notify_all();
}

MessageAnswer QtDesktop::show_box(const Message& message) {
    if (answer_hook_) {
        if (std::optional<MessageAnswer> a = answer_hook_(message)) return *a;
    }
    QMessageBox box(owner_);
    box.setWindowTitle(QString::fromStdString(message.caption));
    box.setText(QString::fromStdString(message.text));
    box.setAccessibleName(box.windowTitle());
    box.setAccessibleDescription(box.text());
    switch (message.icon) {
        case MessageIcon::none: box.setIcon(QMessageBox::NoIcon); break;
        case MessageIcon::information: box.setIcon(QMessageBox::Information); break;
        case MessageIcon::warning: box.setIcon(QMessageBox::Warning); break;
        case MessageIcon::error: box.setIcon(QMessageBox::Critical); break;
        case MessageIcon::question: box.setIcon(QMessageBox::Question); break;
    }
    auto add = [&](QMessageBox::StandardButton b, const QString& label) {
        QAbstractButton* button = box.addButton(b);
        button->setText(label);
        button->setAccessibleName(label);
    };
    switch (message.buttons) {
        case MessageButtons::ok: add(QMessageBox::Ok, QStringLiteral("OK")); break;
        case MessageButtons::ok_cancel:
            add(QMessageBox::Ok, QStringLiteral("OK"));
            add(QMessageBox::Cancel, QStringLiteral("キャンセル"));
            break;
        case MessageButtons::yes_no:
            add(QMessageBox::Yes, QStringLiteral("はい(&Y)"));
            add(QMessageBox::No, QStringLiteral("いいえ(&N)"));
            break;
        case MessageButtons::yes_no_cancel:
            add(QMessageBox::Yes, QStringLiteral("はい(&Y)"));
            add(QMessageBox::No, QStringLiteral("いいえ(&N)"));
            add(QMessageBox::Cancel, QStringLiteral("キャンセル"));
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Ok: return MessageAnswer::ok;
        case QMessageBox::Yes: return MessageAnswer::yes;
        case QMessageBox::No: return MessageAnswer::no;
        default: return MessageAnswer::cancel;
    }
}

void QtDesktop::beep() {
    QMetaObject::invokeMethod(
        this, [] { QApplication::beep(); }, Qt::QueuedConnection);
}

void QtDesktop::menu_refresh() {
    if (menu_posted_.exchange(true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            menu_posted_ = false;
            emit menu_refresh_due();
        },
        Qt::QueuedConnection);
}

void QtDesktop::repaint_row(kestrel::Pane pane, int) { mark_dirty(pane); }

// Erasing is implied: each frame repaints every row of a pane from the store.
void QtDesktop::repaint_pane(kestrel::Pane pane, bool) { mark_dirty(pane); }

void QtDesktop::mark_dirty(kestrel::Pane pane) {
    dirty_.fetch_or(pane == kestrel::Pane::terminal ? terminal_dirty : backscroll_dirty);
    if (frame_posted_.exchange(true)) return;
    QMetaObject::invokeMethod(this, &QtDesktop::schedule_frame, Qt::QueuedConnection);
}

void QtDesktop::schedule_frame() {
    if (frame_timer_.isActive()) return;
    const qint64 elapsed = since_frame_.elapsed();
    if (elapsed >= frame_ms) {
        paint_frame();
    } else {
        frame_timer_.start(int(frame_ms - elapsed));
    }
}

void QtDesktop::paint_frame() {
    // Cleared before the dirty bits are taken: a request arriving meanwhile posts again.
    frame_posted_ = false;
    const unsigned dirty = dirty_.exchange(0);
    since_frame_.restart();
    if (dirty != 0) emit repaint_due(dirty & terminal_dirty, dirty & backscroll_dirty);
}

void QtDesktop::flush_now() {
    frame_timer_.stop();
    QCoreApplication::processEvents();
    paint_frame();
    QCoreApplication::processEvents();
}

void QtDesktop::split_view_changed(bool on) {
    QMetaObject::invokeMethod(
        this, [this, on] { emit split_view_due(on); }, Qt::QueuedConnection);
}

// From another thread the chooser waits as a background message box does, so that
// dismiss_background_messages frees the caller too: a dismissed chooser is "cancelled".
std::optional<std::string> QtDesktop::choose_file(const kestrel::FileChoice& choice) {
    if (on_gui_thread()) return show_chooser(choice);
    return wait_for_gui<std::optional<std::string>>([this, choice] { return show_chooser(choice); },
                                                    std::nullopt);
}

std::optional<std::string> QtDesktop::show_chooser(const kestrel::FileChoice& choice) {
    if (chooser_hook_) return chooser_hook_(choice);
    const QString title = from_cp932(choice.title);
    QString start = QString::fromLocal8Bit(choice.directory.c_str());
    if (!choice.suggested_name.empty()) {
        const QString name = from_cp932(choice.suggested_name);
        start = start.isEmpty() ? name : start + QLatin1Char('/') + name;
    }
    const QString filter =
        choice.filter.empty() ? QString() : QString::fromStdString(choice.filter);
    const QString path = choice.mode == kestrel::FileChoice::Mode::open
                             ? QFileDialog::getOpenFileName(owner_, title, start, filter)
                             : QFileDialog::getSaveFileName(owner_, title, start, filter, nullptr,
                                                            QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) return std::nullopt;
    return QFile::encodeName(path).toStdString();
}

kestrel::Desktop::ExistingFileAnswer QtDesktop::ask_existing_file(bool overwrite) {
    if (on_gui_thread()) return show_existing_file(overwrite);
    return wait_for_gui<ExistingFileAnswer>(
        [this, overwrite] { return show_existing_file(overwrite); },
        ExistingFileAnswer{false, overwrite});
}

kestrel::Desktop::ExistingFileAnswer QtDesktop::show_existing_file(bool overwrite) {
    ExistingFileAnswer answer{false, overwrite};
    answer.ok = run_existing_file_dialog(owner_, answer.overwrite, dialog_runner_);
    return answer;
}

// The woken screen is repainted, the back-scroll pane too while it shows.
void QtDesktop::release_screen_saver() { saver_.request(); }

}  // namespace kestrel::app
