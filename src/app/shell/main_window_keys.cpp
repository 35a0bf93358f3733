// The main frame's key table, the wheel, and the terminal pane's typed characters, which
// go to the core's TerminalInput.

#include <QGuiApplication>

#include "app/shell/command_ids.h"
#include "app/shell/main_window.h"

namespace kestrel::app {

// One row per key: which keys (a range for the function keys), in which mode, what it
// does. The first row that matches wins.
struct KeyBinding {
    enum class Mode { any, normal, split };
    Qt::Key first;
    Qt::Key last;
    Mode mode;
    void (*run)(MainWindow& w, int n, bool shift, bool ctrl);  // n: the key's place in its range

    static std::span<const KeyBinding> table() {
        using W = MainWindow;
        static const KeyBinding rows[] = {
            {Qt::Key_PageUp, Qt::Key_PageUp, Mode::any,
             [](W& w, int, bool, bool) { w.page_key(true); }},
            {Qt::Key_PageDown, Qt::Key_PageDown, Mode::any,
             [](W& w, int, bool, bool) { w.page_key(false); }},
            // The macro list for sending.
            {Qt::Key_End, Qt::Key_End, Mode::any,
             [](W& w, int, bool, bool) { w.send_key_macro(false); }},
            // Resumes a paused upload; otherwise nothing.
            {Qt::Key_Home, Qt::Key_Home, Mode::any,
             [](W& w, int, bool, bool) { w.upload_.resume(); }},
            {Qt::Key_Left, Qt::Key_Left, Mode::any,
             [](W& w, int, bool shift, bool) { w.side_key(true, shift); }},
            {Qt::Key_Right, Qt::Key_Right, Mode::any,
             [](W& w, int, bool shift, bool) { w.side_key(false, shift); }},
            {Qt::Key_Up, Qt::Key_Up, Mode::any,
             [](W& w, int, bool shift, bool ctrl) { w.arrow_key(true, shift, ctrl); }},
            {Qt::Key_Down, Qt::Key_Down, Mode::any,
             [](W& w, int, bool shift, bool ctrl) { w.arrow_key(false, shift, ctrl); }},
            {Qt::Key_F1, Qt::Key_F12, Mode::any,
             [](W& w, int n, bool shift, bool ctrl) { w.function_key(n, shift, ctrl); }},
        };
        return rows;
    }
};

bool MainWindow::claims_key(const QKeyEvent& event) const {
    // ALT+S is both the PC scope's accelerator and the 設定 menu's mnemonic; the
    // accelerator wins, as accelerators are looked up before menus.
    return event.key() == Qt::Key_S && (event.modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
}

bool MainWindow::key_down(const QKeyEvent& event) {
    if (claims_key(event)) {
        if (menu_.item(command::pc_scope)->isEnabled()) dispatch(command::pc_scope);
        return true;
    }
    // An accelerator reaches here only when its item is grayed: then it does nothing, and
    // in particular sends no control byte.
    const QKeySequence pressed(event.keyCombination());
    for (const auto& [id, action] : menu_.items) {
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed) return true;
    }
    const bool shift = event.modifiers() & Qt::ShiftModifier;
    const bool ctrl = event.modifiers() & Qt::ControlModifier;
    const KeyBinding::Mode mode = split() ? KeyBinding::Mode::split : KeyBinding::Mode::normal;
    for (const KeyBinding& row : KeyBinding::table()) {
        if (event.key() < row.first || event.key() > row.last) continue;
        if (row.mode != KeyBinding::Mode::any && row.mode != mode) continue;
        row.run(*this, event.key() - row.first, shift, ctrl);
        return true;
    }
    return false;
}

void MainWindow::page_key(bool up) {
    input_.page(up);
    sync_after_scroll();
}

void MainWindow::side_key(bool left, bool shift) {
    if (split() && left) {
        rbbs_.toggle_mark();
        sync_after_scroll();
    } else if (split()) {
        rbbs_.single_read();
    } else if (shift) {
        select_record(s_.settings.default_fkey_no + (left ? -1 : 1));
    }
}

void MainWindow::arrow_key(bool up, bool shift, bool ctrl) {
    if (split()) {
        if (!ctrl) {
            input_.arrow_in_split_view(up, shift);
        } else if (up) {
            divider_up();
        } else {
            divider_down();
        }
    } else if (ctrl) {
        // The divider moves only in split view.
    } else if (up && shift) {
        send_connect_command();
    } else {
        show_recalled_line(input_.recall(up));
    }
}

// SHIFT before CTRL: SHIFT+CTRL+F1 opens record 13's dialog.
void MainWindow::function_key(int n, bool shift, bool ctrl) {
    if (shift) {
        open_rbbs_dialog(12 + n);
    } else if (ctrl) {
        select_record(n);
        send_connect_command();
    } else {
        open_rbbs_dialog(n);
    }
}

void MainWindow::wheel(int delta, Qt::KeyboardModifiers modifiers) {
    if (delta == 0) return;
    // CTRL turns the wheel into the divider keys in split view.
    if (split() && (modifiers & Qt::ControlModifier)) return arrow_key(delta > 0, false, true);
    input_.wheel(delta, modifiers & Qt::ShiftModifier);
    sync_after_scroll();
}

void MainWindow::sync_after_scroll() { backscroll_pane_->sync_thumb(); }

void MainWindow::divider_up() {
    if (!split()) return enter_split_view();
    // From the rows the pane shows: a stored count taller than the window moves at once.
    s_.settings.kyokai = std::max(std::min(s_.settings.kyokai, s_.backscroll.rows()) - 1, 1);
    layout_panes(true);
}

// The terminal pane keeps at least two rows.
void MainWindow::divider_down() {
    if (!split()) return enter_split_view();
    const int total = s_.store.terminal_rows() + s_.backscroll.rows();
    s_.settings.kyokai = std::max(std::min(s_.settings.kyokai + 1, total - 2), 1);
    layout_panes(true);
}

void MainWindow::show_recalled_line(std::string_view text) { terminal_->show_recalled_line(text); }

void MainWindow::focus_changed(bool) {
    input_.forget_recall();
    // The pane is drawn again from the store, which takes a recalled line off the screen.
    terminal_->store_repainted();
}

void MainWindow::characters(std::string_view cp932) { input_.characters(cp932); }

}  // namespace kestrel::app
