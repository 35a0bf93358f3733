#pragma once
// The PC scope window: the spot list filtered by band and by age, the UTC time and the last
// WWV text in its title, and the buttons that delete the selected spot, delete all spots
// or add one by hand. It is a top-level window without owner; the shell creates it, keeps
// its handle, feeds the spot parser while it exists and closes it (close_requested).
//
// Threads: everything runs on the UI thread except post_repaint, which the receiver calls
// after the parser changed the board. A repaint reads the board (SpotBoard takes its own
// lock), so at most one is ever pending however fast spots arrive: a burst of lines costs
// one refresh per turn of the event loop, not one per line.

#include <QWidget>
#include <atomic>
#include <ctime>
#include <functional>
#include <string_view>

#include "core/cluster/spot_board.h"

class QDialog;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace kestrel::app {

class PcScopeWindow : public QWidget {
    Q_OBJECT
public:
    using Clock = std::function<std::time_t()>;

    // `filter` is the band and age limit the shell keeps while the window is closed;
    // `small` picks the small layout (SMALL_PC_SCOPE); `clock` gives now for ages and titles.
    PcScopeWindow(kestrel::SpotBoard& board, kestrel::ScopeFilter& filter, bool small, Clock clock);

    // The repaint: the title from the board and the list rebuilt from its shown lines, the
    // newest spot's line selected when it is among them.
    void refresh();
    // Any thread: a refresh soon on the UI thread; nothing more while one is pending.
    void post_repaint();

    // Runs the window's modal dialogs and question (default exec()); tests answer them.
    std::function<int(QDialog&)> run_dialog;

    // The spot watch list: whether a DX callsign is on it (default: none is), and the bell
    // a newly arrived watched spot sounds. The shell sets both; they run on the UI thread.
    std::function<bool(std::string_view callsign)> is_watched;
    std::function<void()> bell;
    // Receiver thread, for every spot read from a received line: one whose callsign is
    // watched rings the bell once and has its line read out to a screen reader. The list
    // shows every watched spot highlighted.
    void post_watch_check(const kestrel::Spot& spot);

    QListWidget* spot_list() const { return list_; }
    QSpinBox* band_selector() const { return band_; }
    QSpinBox* minutes_selector() const { return minutes_; }
    bool small_layout() const { return small_; }

signals:
    // "閉じる" or the close box: the shell closes the window.
    void close_requested();
    // A key went down in the spot list: the minute tick starts over.
    void list_key_pressed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place_list();
    void remove_selected();
    void remove_all();
    void add_by_hand();
    void alert_if_watched(const kestrel::Spot& spot);
    void mark_watched(int row);

    kestrel::SpotBoard& board_;
    kestrel::ScopeFilter& filter_;
    bool small_;
    Clock clock_;
    kestrel::ShownLines shown_;  // what the list shows, row by row
    std::atomic<bool> repaint_pending_{false};

    QWidget* bar_ = nullptr;
    QSpinBox* band_ = nullptr;
    QSpinBox* minutes_ = nullptr;
    QPushButton* add_ = nullptr;
    QListWidget* list_ = nullptr;
};

}  // namespace kestrel::app
