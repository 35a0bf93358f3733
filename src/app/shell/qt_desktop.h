#pragma once
// The core's desktop interface on Qt. Every call may come from any thread: message boxes
// and file choosers run on the GUI thread and block only their caller; repaints, beeps,
// menu refreshes and split-view changes are posted and never wait, since the core may
// make them with the line-store lock held. Repaints are gathered into at most one update
// of each pane per frame, however fast the receiver asks.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "app/shell/screen_saver.h"
#include "core/desktop/desktop.h"

class QDialog;

namespace kestrel::app {

class QtDesktop : public QObject, public kestrel::Desktop {
    Q_OBJECT
public:
    // What a message box showed, in UTF-8, for the answer hook.
    struct Message {
        std::string text;
        std::string caption;
        kestrel::MessageIcon icon;
        kestrel::MessageButtons buttons;
    };
    // Answers a message box instead of the operator (tests, scripted runs). No value: show
    // the box after all.
    using AnswerHook = std::function<std::optional<kestrel::MessageAnswer>(const Message&)>;
    using ChooserHook = std::function<std::optional<std::string>(const kestrel::FileChoice&)>;
    // Runs a modal dialog the desktop opens itself (the existing-file question) and returns
    // its result; default exec(). The main window passes its own runner, so scripted runs
    // answer these dialogs as they answer the menu commands' ones.
    using DialogRunner = std::function<int(QDialog&)>;

    explicit QtDesktop(QObject* parent = nullptr);

    void set_answer_hook(AnswerHook hook) { answer_hook_ = std::move(hook); }
    void set_chooser_hook(ChooserHook hook) { chooser_hook_ = std::move(hook); }
    // Set on the GUI thread, before any worker may ask.
    void set_dialog_runner(DialogRunner run) { dialog_runner_ = std::move(run); }
    // The window the boxes belong to.
    void set_owner(QWidget* owner) { owner_ = owner; }

    kestrel::MessageAnswer message_box(std::string_view text, std::string_view caption,
                                       kestrel::MessageIcon icon,
                                       kestrel::MessageButtons buttons) override;
    void beep() override;
    void menu_refresh() override;
    void repaint_row(kestrel::Pane pane, int row) override;
    void repaint_pane(kestrel::Pane pane, bool erase) override;
    void split_view_changed(bool on) override;
    std::optional<std::string> choose_file(const kestrel::FileChoice& choice) override;
    void release_screen_saver() override;
    // The "ダウンロード" append-or-overwrite dialog, from any thread; from another thread it
    // waits as a message box does, and a dismissal answers Cancel with the choice unchanged.
    ExistingFileAnswer ask_existing_file(bool overwrite) override;
    // While on, boxes asked for by other threads are answered at once with Cancel (No for
    // a yes/no question), and file choosers with "cancelled", pending ones included: the
    // link joins its receiver meanwhile.
    void dismiss_background_messages(bool on) override;
    std::time_t now() override { return kestrel::system_now(); }
    std::tm local_time(std::time_t t) override { return kestrel::system_local_time(t); }

    // Runs everything posted so far that is due now, repaints included (tests).
    void flush_now();

signals:
    // On the GUI thread.
    void repaint_due(bool terminal, bool backscroll);
    void menu_refresh_due();
    void split_view_due(bool on);

private:
    enum Dirty : unsigned { terminal_dirty = 1, backscroll_dirty = 2 };

    void mark_dirty(kestrel::Pane pane);
    void schedule_frame();
    void paint_frame();
    kestrel::MessageAnswer show_box(const Message& message);
    std::optional<std::string> show_chooser(const kestrel::FileChoice& choice);
    ExistingFileAnswer show_existing_file(bool overwrite);
    bool on_gui_thread() const;
    kestrel::MessageAnswer ask_from_background(const Message& message);
    // Runs `show` on the GUI thread and waits for its result, or for the dismissal, which
    // answers `dismissed`. A dismissed request that was not shown yet never is.
    template <typename T>
    T wait_for_gui(std::function<T()> show, T dismissed);

    QWidget* owner_ = nullptr;
    AnswerHook answer_hook_;
    ChooserHook chooser_hook_;
    DialogRunner dialog_runner_;

    std::atomic<unsigned> dirty_{0};
    std::atomic<bool> frame_posted_{false};
    std::atomic<bool> menu_posted_{false};

    std::mutex boxes_mutex_;  // guards the background requests' answers and `dismissing_`
    std::condition_variable box_answered_;
    bool dismissing_ = false;
    QTimer frame_timer_;
    QElapsedTimer since_frame_;
    // Last, so that a release in flight ends before the repaint state it marks goes.
    ScreenSaverRelease saver_{[this] {
        mark_dirty(kestrel::Pane::terminal);
        mark_dirty(kestrel::Pane::backscroll);
    }};
};

}  // namespace kestrel::app
