// The main frame's key table, the wheel, and the terminal pane's character handler.

#include <QGuiApplication>
#include <mutex>

#include "app/shell/command_ids.h"
#include "app/shell/main_window.h"
#include "core/text/sjis.h"

namespace kestrel::app {

namespace {

constexpr std::uint8_t cr = 13;
constexpr std::uint8_t lf = 10;

enum ScrollCode {
    line_up = 0,
    line_down = 1,
    page_up = 2,
    page_down = 3,
    thumb_end = 4,
    thumb_track = 5
};

}  // namespace

bool MainWindow::claims_key(const QKeyEvent& event) const {
    // ALT+S is both the PC scope's accelerator and the 設定 menu's mnemonic; the
    // accelerator wins, as accelerators are looked up before menus.
    return event.key() == Qt::Key_S && (event.modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
}

bool MainWindow::key_down(const QKeyEvent& event) {
    const bool shift = event.modifiers() & Qt::ShiftModifier;
    const bool ctrl = event.modifiers() & Qt::ControlModifier;
    const bool split = s_.backscroll.split_view();
    const int key = event.key();
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
    switch (key) {
        case Qt::Key_PageUp:
            s_.store.clear_selection();
            scroll_message(page_up, 0);
            return true;
        case Qt::Key_PageDown:
            s_.store.clear_selection();
            scroll_message(page_down, 0);
            return true;
        case Qt::Key_End:
            emit unconnected_command(command::key_macros);  // the macro list for sending
            return true;
        case Qt::Key_Home:
            // Resumes a paused upload; uploads are not part of the program yet.
            return true;
        case Qt::Key_Left:
            if (split) {
                emit unconnected_command(-Qt::Key_Left);  // mark for continuous read
            } else if (shift) {
                select_record(s_.settings.default_fkey_no - 1);
            }
            return true;
        case Qt::Key_Right:
            if (split) {
                emit unconnected_command(-Qt::Key_Right);  // read the message under the cursor
            } else if (shift) {
                select_record(s_.settings.default_fkey_no + 1);
            }
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const bool up = key == Qt::Key_Up;
            if (split) {
                arrow_in_split_view(up, shift, ctrl);
            } else if (ctrl) {
                // The divider moves only in split view.
            } else if (up && shift) {
                emit unconnected_command(-Qt::Key_Up);  // the record's connect command
                update_rbbs_label();
            } else {
                if (up) {
                    s_.history.recall_older();
                } else {
                    s_.history.recall_newer();
                }
                show_recalled_line();
            }
            return true;
        }
        default: break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        const int n = key - Qt::Key_F1;
        if (shift) {
            emit rbbs_dialog_requested(12 + n);
        } else if (ctrl) {
            select_record(n);
            emit unconnected_command(-Qt::Key_F1 - n);  // the record's connect command
        } else {
            emit rbbs_dialog_requested(n);
        }
        return true;
    }
    return false;
}

void MainWindow::arrow_in_split_view(bool up, bool shift, bool ctrl) {
    if (ctrl) {
        if (up) {
            divider_up();
        } else {
            divider_down();
        }
    } else if (shift) {
        if (up) {
            s_.backscroll.select_up();
        } else {
            s_.backscroll.select_down();
        }
    } else {
        s_.store.clear_selection();
        s_.backscroll.scroll(up ? kestrel::ScrollRequest::line_up
                                : kestrel::ScrollRequest::line_down);
        s_.desktop.repaint_pane(kestrel::Pane::backscroll, true);
    }
}

void MainWindow::wheel(int delta, Qt::KeyboardModifiers modifiers) {
    if (delta == 0) return;
    const bool split = s_.backscroll.split_view();
    const int key = split ? (delta > 0 ? Qt::Key_Up : Qt::Key_Down)
                          : (delta > 0 ? Qt::Key_PageUp : Qt::Key_PageDown);
    const QKeyEvent as_key(QEvent::KeyPress, key, modifiers);
    key_down(as_key);
}

// The back-scroll pane's scroll-bar messages: a line or page up enters split view from
// outside it, a line or page down does nothing there, the thumb clears the selection.
void MainWindow::scroll_message(int code, int position) {
    const bool split = s_.backscroll.split_view();
    switch (code) {
        case line_up: s_.backscroll.scroll(kestrel::ScrollRequest::line_up); break;
        case page_up: s_.backscroll.scroll(kestrel::ScrollRequest::page_up); break;
        case line_down:
            if (split) s_.backscroll.scroll(kestrel::ScrollRequest::line_down);
            break;
        case page_down:
            if (split) s_.backscroll.scroll(kestrel::ScrollRequest::page_down);
            break;
        case thumb_end:
        case thumb_track:
            s_.store.clear_selection();
            s_.backscroll.scroll(code == thumb_end ? kestrel::ScrollRequest::thumb_position
                                                   : kestrel::ScrollRequest::thumb_track,
                                 position);
            break;
        default: break;
    }
    backscroll_pane_->sync_thumb();
}

void MainWindow::divider_up() {
    if (!s_.backscroll.split_view()) return;
    int shown = 0;
    {
        std::lock_guard lock(s_.store.store_mutex());
        shown = s_.backscroll.rows();
    }
    // From the rows the pane shows: a stored count taller than the window moves at once.
    s_.settings.kyokai = std::max(std::min(s_.settings.kyokai, shown) - 1, 1);
    layout_panes(true);
}

// The terminal pane keeps at least two rows.
void MainWindow::divider_down() {
    if (!s_.backscroll.split_view()) return;
    int terminal_rows = 0;
    int backscroll_rows = 0;
    {
        std::lock_guard lock(s_.store.store_mutex());
        terminal_rows = s_.store.terminal_rows();
        backscroll_rows = s_.backscroll.rows();
    }
    int kyokai = s_.settings.kyokai + 1;
    if (kyokai >= terminal_rows + backscroll_rows - 1) {
        kyokai = terminal_rows + backscroll_rows - 2;
    }
    s_.settings.kyokai = std::max(kyokai, 1);
    layout_panes(true);
}

void MainWindow::show_recalled_line() { terminal_->show_recalled_line(s_.history.recalled_text()); }

void MainWindow::focus_changed(bool) {
    s_.history.set_recall_index(0);
    // The pane is drawn again from the store, which takes a recalled line off the screen.
    terminal_->store_repainted();
}

void MainWindow::characters(std::string_view cp932) {
    for (char c : cp932) char_handler(static_cast<std::uint8_t>(c));
}

void MainWindow::char_handler(std::uint8_t c) {
    if (c == cr && s_.backscroll.split_view()) {
        const int record = s_.settings.default_fkey_no;
        if (s_.settings.rbbs[record].separator.empty()) {
            s_.desktop.tell(kestrel::text::sjis("F" + std::to_string(record + 1) +
                                                " 連続読み出し時のｾﾊﾟﾚｰﾀｰが登録されていません"));
            return;
        }
        // The continuous read of marked messages comes with the RBBS automation; until
        // then it never runs and Enter goes on as usual.
    }
    kestrel::Link& link = s_.link;
    const bool recalled = c == cr && s_.history.recall_index() >= 1;
    if (recalled) {
        const std::string line(s_.history.recalled_text());
        for (char b : line) {
            link.send_char(static_cast<std::uint8_t>(b));
            s_.history.input_char(static_cast<std::uint8_t>(b));
        }
        link.send_char(cr);
        s_.history.input_char(cr);
        s_.history.set_recall_index(0);
    } else {
        link.send_char(c);
        s_.history.input_char(c);
    }
    kestrel::Capture& capture = s_.capture;
    if (s_.settings.port.local_echo != 0 && capture.is_open()) {
        const bool written = capture.capture_byte(c) && (c != cr || capture.capture_byte(lf));
        if (!written) {
            s_.desktop.tell(kestrel::text::sjis("書き込みエラーが発生しました"),
                            kestrel::MessageIcon::warning);
            capture.close();
            menu_refresh();
        }
    }
}

}  // namespace kestrel::app
