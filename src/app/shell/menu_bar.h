#pragma once
// The menu tree built from the command table, each item sending its command id to one
// dispatcher.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/shell/command_table.h"

namespace kestrel::app {

struct MenuActions {
    std::map<int, QAction*> items;  // by command id
    std::vector<QMenu*> menus;      // the top-level menus, left to right
    QAction* item(int id) const { return items.at(id); }
};

MenuActions build_menu_bar(QMenuBar* bar, std::span<const CommandRow> rows,
                           const std::function<void(int)>& dispatch);

// "<%s> " with the record's key name, then its name, cut to 30 bytes (CP932).
std::string rbbs_menu_label(int record, std::string_view name);
// "F1".."F12", "SHIFT + F1".."SHIFT + F9", "SHIFT+ F10".."SHIFT+ F12".
std::string rbbs_key_name(int record);

}  // namespace kestrel::app
