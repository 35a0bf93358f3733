#include "core/screen/backscroll.h"

#include <algorithm>

#include "core/text/sjis.h"

namespace kestrel {

void Backscroll::scroll(ScrollRequest request, int thumb_position) {
    Effects fx;
    {
        std::lock_guard lock(store_.store_mutex());
        if (!split_view_) {
            enter(fx);
        } else {
            fx.menu_refresh = true;
            switch (request) {
                case ScrollRequest::line_up: line_up(fx); break;
                case ScrollRequest::line_down: line_down(fx); break;
                case ScrollRequest::page_up: page_up(fx); break;
                case ScrollRequest::page_down: page_down(fx); break;
                case ScrollRequest::thumb_position:
                case ScrollRequest::thumb_track: thumb_to(thumb_position, fx); break;
            }
        }
    }
    apply(fx);
}

void Backscroll::enter(Effects& fx) {
    bottom_line_ = store_.current_line();
    split_view_ = true;
    cursor_row_ = rows_ - 1;
    update_thumb();
    for (ScreenLine& line : store_.lines()) {
        if (line.kind == line_marked) line.kind = line_plain;
    }
    fx.entered = true;
    fx.repaint_pane = true;
    fx.menu_refresh = true;
}

void Backscroll::leave_split_view() {
    Effects fx;
    {
        std::lock_guard lock(store_.store_mutex());
        if (split_view_) leave(fx);
    }
    apply(fx);
}

bool Backscroll::leave_if_near_oldest() {
    Effects fx;
    {
        std::lock_guard lock(store_.store_mutex());
        if (split_view_ && near_oldest(oldest_margin)) leave(fx);
    }
    apply(fx);
    return fx.left;
}

void Backscroll::leave(Effects& fx) {
    split_view_ = false;
    for (ScreenLine& line : store_.lines()) line.selected = 0;
    fx.left = true;
    fx.menu_refresh = true;
}

// True when the view's lowest line is among the n - 1 oldest lines of the ring, measured
// by age so that it holds whether or not the ring index wrapped between the two lines.
bool Backscroll::near_oldest(int n) const {
    int age = LineStore::wrap(store_.current_line() - bottom_line_);
    return age > LineStore::line_count - n;
}

void Backscroll::line_up(Effects& fx) {
    if (near_oldest(oldest_margin)) return;
    if (cursor_row_ - 1 >= 0) {
        fx.rows[0] = cursor_row_;
        fx.rows[1] = --cursor_row_;
        return;
    }
    cursor_row_ = 0;
    bottom_line_ = LineStore::wrap(bottom_line_ - 1);
    update_thumb();
    fx.repaint_pane = true;
}

void Backscroll::line_down(Effects& fx) {
    if (cursor_row_ + 1 < rows_) {
        fx.rows[0] = cursor_row_;
        fx.rows[1] = ++cursor_row_;
        return;
    }
    cursor_row_ = rows_ - 1;
    if (bottom_line_ == store_.current_line()) {
        leave(fx);
        return;
    }
    bottom_line_ = LineStore::wrap(bottom_line_ + 1);
    update_thumb();
    fx.repaint_pane = true;
}

void Backscroll::page_up(Effects& fx) {
    if (near_oldest(oldest_margin)) return;
    for (int i = 0; i < rows_ / 2; ++i) {
        bottom_line_ = LineStore::wrap(bottom_line_ - 1);
        cursor_row_ = 0;
        update_thumb();
        if (near_oldest(oldest_margin)) break;
    }
    fx.repaint_pane = true;
}

void Backscroll::page_down(Effects& fx) {
    if (bottom_line_ == store_.current_line()) {
        leave(fx);
        return;
    }
    for (int i = 0; i < rows_ / 2; ++i) {
        cursor_row_ = rows_ - 1;
        if (bottom_line_ == store_.current_line()) break;
        bottom_line_ = LineStore::wrap(bottom_line_ + 1);
        update_thumb();
    }
    fx.repaint_pane = true;
}

void Backscroll::thumb_to(int position, Effects& fx) {
    thumb_ = std::clamp(position, 0, thumb_range);
    if (thumb_ < oldest_margin) {
        thumb_ = oldest_margin;
        bottom_from_thumb();
        update_thumb();
    } else {
        bottom_from_thumb();
    }
    cursor_row_ = rows_ / 2;
    fx.repaint_pane = true;
}

// A line already in view only takes the cursor; another one is brought to the middle row,
// or as near to it as the newest line allows. A line among the oldest 500 may be shown:
// the receiver's guard closes the view there as soon as more text arrives.
void Backscroll::show_line(int age, Effects& fx) {
    if (!split_view_) enter(fx);
    const int current = store_.current_line();
    const int bottom_age = LineStore::wrap(current - bottom_line_);
    fx.menu_refresh = true;
    if (age >= bottom_age && age - bottom_age < rows_) {
        const int row = rows_ - 1 - (age - bottom_age);
        if (row != cursor_row_) {
            fx.rows[0] = cursor_row_;
            fx.rows[1] = cursor_row_ = row;
        }
        return;
    }
    const int new_bottom_age = std::max(age - (rows_ - 1 - rows_ / 2), 0);
    bottom_line_ = LineStore::wrap(current - new_bottom_age);
    cursor_row_ = rows_ - 1 - (age - new_bottom_age);
    if (new_bottom_age == 0) {
        thumb_ = thumb_range;
    } else {
        update_thumb();
    }
    fx.repaint_pane = true;
}

// Thumb 5000 is the newest line; lower positions reach further back.
void Backscroll::update_thumb() {
    int current = store_.current_line();
    if (bottom_line_ < current) {
        thumb_ = thumb_range - (current - bottom_line_);
    } else if (bottom_line_ > current) {
        thumb_ = bottom_line_ - current;
    }
}

void Backscroll::bottom_from_thumb() {
    bottom_line_ = LineStore::wrap(thumb_ + store_.current_line() - thumb_range);
}

void Backscroll::select_up() {
    scroll(ScrollRequest::line_up);
    {
        std::lock_guard lock(store_.store_mutex());
        if (!split_view_) return;
        store_.line(line_at_cursor_locked()).selected ^= 1;
    }
    desktop_.repaint_pane(Pane::backscroll, false);
}

void Backscroll::select_down() {
    {
        std::lock_guard lock(store_.store_mutex());
        if (split_view_) store_.line(line_at_cursor_locked()).selected ^= 1;
    }
    scroll(ScrollRequest::line_down);
    desktop_.repaint_pane(Pane::backscroll, false);
}

void Backscroll::set_rows(int rows) {
    std::lock_guard lock(store_.store_mutex());
    rows_ = std::max(rows, 1);
    cursor_row_ = std::clamp(cursor_row_, 0, rows_ - 1);
}

bool Backscroll::split_view() const {
    std::lock_guard lock(store_.store_mutex());
    return split_view_;
}

BackscrollView Backscroll::view() const {
    BackscrollView view;
    std::lock_guard lock(store_.store_mutex());
    view.rows.reserve(static_cast<std::size_t>(rows_));
    for (int row = 0; row < rows_; ++row) view.rows.push_back(store_.line(ring_index_of_row(row)));
    view.cursor_row = cursor_row_;
    view.thumb = thumb_;
    return view;
}

ScreenLine Backscroll::view_row(int row) const {
    std::lock_guard lock(store_.store_mutex());
    return store_.line(ring_index_of_row(row));
}

int Backscroll::rows() const {
    std::lock_guard lock(store_.store_mutex());
    return rows_;
}

int Backscroll::cursor_row() const {
    std::lock_guard lock(store_.store_mutex());
    return cursor_row_;
}

int Backscroll::thumb() const {
    std::lock_guard lock(store_.store_mutex());
    return thumb_;
}

int Backscroll::bottom_line_age() const {
    std::lock_guard lock(store_.store_mutex());
    return LineStore::wrap(store_.current_line() - bottom_line_);
}

int Backscroll::cursor_line_age() const {
    std::lock_guard lock(store_.store_mutex());
    return LineStore::wrap(store_.current_line() - line_at_cursor_locked());
}

void Backscroll::apply(const Effects& fx) {
    if (fx.entered) desktop_.split_view_changed(true);
    if (fx.left) desktop_.split_view_changed(false);
    if (fx.menu_refresh) desktop_.menu_refresh();
    for (int row : fx.rows) {
        if (row >= 0) desktop_.repaint_row(Pane::backscroll, row);
    }
    if (fx.repaint_pane) desktop_.repaint_pane(Pane::backscroll, fx.erase);
    if (fx.left) desktop_.repaint_pane(Pane::terminal, false);
}

void clear_scroll_buffer(LineStore& store, Backscroll& backscroll, Desktop& desktop) {
    if (desktop.ask_yes_no(text::sjis("スクロールバッファーを消去します"))) {
        backscroll.leave_split_view();
        store.reset();
        desktop.repaint_pane(Pane::terminal, true);
    }
    store.move_cursor_home();
}

void clear_marks(LineStore& store, Backscroll& backscroll, Desktop& desktop) {
    if (desktop.ask_yes_no(text::sjis("マークを消去します"))) {
        store.clear_marks_and_selection();
        desktop.repaint_pane(Pane::terminal, true);
        if (backscroll.split_view()) desktop.repaint_pane(Pane::backscroll, true);
    }
    store.move_cursor_home();
}

}  // namespace kestrel
