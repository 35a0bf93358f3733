#include "app/shell/menu_bar.h"

#include <string>

namespace kestrel::app {

std::string rbbs_key_name(int record) {
    if (record < 12) return "F" + std::to_string(record + 1);
    const int n = record - 11;
    return n < 10 ? "SHIFT + F" + std::to_string(n) : "SHIFT+ F" + std::to_string(n);
}

std::string rbbs_menu_label(int record, std::string_view name) {
    std::string label = "<" + rbbs_key_name(record) + "> ";
    label.append(name);
    if (label.size() > 30) label.resize(30);
    return label;
}

MenuActions build_menu_bar(QMenuBar* bar, std::span<const CommandRow> rows,
                           const std::function<void(int)>& dispatch) {
    using Kind = CommandRow::Kind;
    MenuActions out;
    QMenu* menu = nullptr;
    QMenu* parent = nullptr;  // the menu a submenu returns to
    const auto add_item = [&](int id, const CommandRow& row) {
        QAction* action = menu->addAction(QString::fromUtf8(row.label));
        if (row.accelerator != QKeyCombination()) {
            action->setShortcut(QKeySequence(row.accelerator));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        action->setObjectName(QStringLiteral("command_%1").arg(id));
        action->setData(id);
        QObject::connect(action, &QAction::triggered, action, [dispatch, id] { dispatch(id); });
        out.items[id] = action;
    };
    for (const CommandRow& row : rows) {
        switch (row.kind) {
            case Kind::menu:
                menu = bar->addMenu(QString::fromUtf8(row.label));
                out.menus.push_back(menu);
                break;
            case Kind::submenu:
                parent = menu;
                menu = menu->addMenu(QString::fromUtf8(row.label));
                break;
            case Kind::end_submenu: menu = parent; break;
            case Kind::separator: menu->addSeparator(); break;
            case Kind::command:
                for (int id = row.id; id <= std::max(row.id, row.last_id); ++id) add_item(id, row);
                break;
        }
    }
    return out;
}

}  // namespace kestrel::app
