#pragma once
// Split view: the back-scroll pane's window onto older lines of the ring.
//
// Its state is guarded by the line store's lock, since the receiver checks it after
// every chunk it reads; every member takes that lock itself. Readers ask by view row (0 is
// the pane's top row) and get copies. Desktop notifications are made after the lock is
// released, so the GUI may lay out (and read the view) while handling them.

#include <cstring>
#include <string_view>

#include "core/desktop/desktop.h"
#include "core/screen/line_store.h"

namespace kestrel {

enum class ScrollRequest {
    line_up = 0,
    line_down = 1,
    page_up = 2,
    page_down = 3,
    thumb_position = 4,
    thumb_track = 5,
};

// What the back-scroll pane shows, copied in one hold of the lock.
struct BackscrollView {
    std::vector<ScreenLine> rows;  // top row first
    int cursor_row = 0;
    int thumb = 0;
};

class Backscroll {
public:
    static constexpr int thumb_range = LineStore::line_count;
    // Lines kept between the view and the part of the ring about to be overwritten.
    static constexpr int oldest_margin = 500;

    Backscroll(LineStore& store, Desktop& desktop) : store_(store), desktop_(desktop) {}

    // Outside split view any request enters it instead of being carried out.
    void scroll(ScrollRequest request, int thumb_position = 0);
    void leave_split_view();
    // The receiver's guard: leaves split view when the ring is about to overwrite the
    // lines in view. True when it left.
    bool leave_if_near_oldest();

    // SHIFT+UP / SHIFT+DOWN in split view: move and flip the selection of a line.
    void select_up();
    void select_down();

    // Rows that fit in the pane, from the GUI's layout.
    void set_rows(int rows);

    bool split_view() const;
    BackscrollView view() const;
    ScreenLine view_row(int row) const;
    int rows() const;
    int cursor_row() const;
    int thumb() const;
    // The ages (see LineStore) of the lines at the back-scroll cursor and the bottom row.
    int cursor_line_age() const;
    int bottom_line_age() const;
    // Calls `visit(ScreenLine&)` under the lock for the line at the back-scroll cursor.
    template <typename Visit>
    void with_cursor_line(Visit&& visit) {
        std::lock_guard lock(store_.store_mutex());
        visit(store_.line(line_at_cursor_locked()));
    }
    // Under one hold of the lock: `choose(line_at, cursor_age)` picks a line by its age (a
    // negative age picks none), where `line_at(age)` is a line's text and `cursor_age` the
    // back-scroll cursor's age, -1 outside split view. The cursor then goes to that line,
    // entering split view first; the view scrolls only when the line is out of it.
    template <typename Choose>
    int seek(Choose&& choose) {
        Effects fx;
        int age = -1;
        {
            std::lock_guard lock(store_.store_mutex());
            auto line_at = [this](int a) {
                const ScreenLine& line = store_.line(store_.current_line() - a);
                return std::string_view(line.text, ::strnlen(line.text, ScreenLine::columns));
            };
            const int cursor_age =
                split_view_ ? LineStore::wrap(store_.current_line() - line_at_cursor_locked()) : -1;
            age = choose(line_at, cursor_age);
            if (age >= 0) show_line(age, fx);
        }
        apply(fx);
        return age;
    }

private:
    // What a request asks of the desktop once the lock is released.
    struct Effects {
        int rows[2] = {-1, -1};
        bool repaint_pane = false;
        bool erase = false;
        bool entered = false;
        bool left = false;
        bool menu_refresh = false;
    };

    void enter(Effects& fx);
    void leave(Effects& fx);
    void line_up(Effects& fx);
    void line_down(Effects& fx);
    void page_up(Effects& fx);
    void page_down(Effects& fx);
    void thumb_to(int position, Effects& fx);
    void show_line(int age, Effects& fx);
    void update_thumb();
    void bottom_from_thumb();
    void apply(const Effects& fx);

    // Lock held.
    int ring_index_of_row(int row) const { return LineStore::wrap(bottom_line_ + row - rows_ + 1); }
    int line_at_cursor_locked() const { return ring_index_of_row(cursor_row_); }
    bool near_oldest(int n) const;

    LineStore& store_;
    Desktop& desktop_;
    bool split_view_ = false;
    int bottom_line_ = 0;
    int cursor_row_ = 0;
    int rows_ = 10;
    int thumb_ = thumb_range;
};

// The two Edit-menu clearings; each asks the operator first.
void clear_scroll_buffer(LineStore& store, Backscroll& backscroll, Desktop& desktop);
void clear_marks(LineStore& store, Backscroll& backscroll, Desktop& desktop);

}  // namespace kestrel
