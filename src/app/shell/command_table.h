#pragma once
// Every command of the program as one row, in menu order: its id, its menu label and
// accelerator, what it does, when its menu item is enabled and whether it shows a check
// mark. The menu bar is built from these rows, `dispatch` runs them, and `menu_refresh`
// and the menu pop-up read their state from them, so adding a command is adding a row.
// The toolbar's buttons send the same ids and are never disabled.

#include <QKeyCombination>
#include <span>

namespace kestrel::app {

class MainWindow;

struct CommandRow {
    enum class Kind { command, menu, submenu, end_submenu, separator };
    // When `enabled` is evaluated: at every menu_refresh, or only as a menu opens (the
    // selection, the marks and the clipboard change too often to follow).
    enum class When { refresh, popup };

    Kind kind = Kind::command;
    int id = 0;
    int last_id = 0;  // a range of ids (RBBS records) ends here; 0: just `id`
    const char* label = "";
    QKeyCombination accelerator{};
    void (*run)(MainWindow&, int id) = nullptr;
    bool (MainWindow::*enabled)() const = nullptr;  // nullptr: always enabled
    bool (MainWindow::*checked)() const = nullptr;  // nullptr: no check mark
    When when = When::refresh;

    bool has(int command) const {
        return kind == Kind::command && (command == id || (id < command && command <= last_id));
    }
};

std::span<const CommandRow> command_table();

}  // namespace kestrel::app
