#pragma once
// The 18-entry toolbar. Its buttons are never disabled: a button whose menu item is grayed
// still sends its command. The current RBBS record's label sits at its right.

#include <QLabel>
#include <QToolBar>
#include <functional>
#include <map>

namespace kestrel::app {

struct ToolBar {
    QToolBar* bar = nullptr;
    QLabel* rbbs_label = nullptr;
    std::map<int, QAction*> buttons;  // by command id
};

ToolBar build_tool_bar(QWidget* parent, const std::function<void(int)>& dispatch);

// The tool tip of a command id; empty for ids without one. External programs 1 and 2 take
// their headings (UTF-8).
QString tool_tip(int id, const QString& program_1, const QString& program_2);

// The buttons of external programs 1 and 2 follow the table: set from the headings at start
// and again whenever the registration dialog stores new ones.
void show_program_tips(ToolBar& bar, const QString& program_1, const QString& program_2);

}  // namespace kestrel::app
