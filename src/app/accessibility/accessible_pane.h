#pragma once
// Screen-reader access to the painted panes. A pane that draws its own text implements
// AccessibleTextSource; once the factory is installed, assistive tools see it as a
// read-only text field holding the visible rows, one per line, and its caret.

#include <QString>

class QWidget;

namespace kestrel::app {

class AccessibleTextSource {
public:
    virtual ~AccessibleTextSource() = default;
    // The visible rows as Unicode, joined with '\n'.
    virtual QString accessible_text() const = 0;
    // The caret as an offset into accessible_text().
    virtual int accessible_caret_offset() const = 0;
};

// Once, after the QApplication exists and before the panes are shown.
void install_pane_accessibility();

// After the pane's text or caret changed; cheap when no assistive tool listens.
void notify_pane_text_changed(QWidget* pane);

}  // namespace kestrel::app
