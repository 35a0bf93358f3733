#pragma once
// The operator's manual, offline: docs/manual/index.html and its images, shown in a window
// of its own beside the main frame. Links inside the manual stay in the window; links to
// web pages go to the system's browser.

#include <QStringList>
#include <QWidget>

class QTextBrowser;

namespace kestrel::app {

// Where the manual is looked for, in order: the installed copy,
// <program's directory>/../share/kestrel/manual, then the source tree's docs/manual.
QStringList default_manual_dirs();

// The first of `dirs` that holds an index.html, as that file's path; empty when none does.
QString find_manual(const QStringList& dirs);

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the page `index` (a file path) from its start.
    void open(const QString& index);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

}  // namespace kestrel::app
