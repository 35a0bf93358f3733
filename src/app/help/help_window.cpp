#include "app/help/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace kestrel::app {

QStringList default_manual_dirs() {
    return {QDir::cleanPath(QCoreApplication::applicationDirPath() +
                            QStringLiteral("/../share/kestrel/manual")),
            QStringLiteral(KESTREL_SOURCE_MANUAL_DIR)};
}

QString find_manual(const QStringList& dirs) {
    for (const QString& dir : dirs) {
        const QFileInfo index(QDir(dir).filePath(QStringLiteral("index.html")));
        if (index.isFile()) return index.absoluteFilePath();
    }
    return {};
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Kestrel ヘルプ"));
    setAccessibleName(windowTitle());
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("manual"));
    browser_->setAccessibleName(QStringLiteral("ヘルプ"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(720, 640);
}

void HelpWindow::open(const QString& index) {
    browser_->setSource(QUrl::fromLocalFile(index));
    // Read again on each opening: a manual updated meanwhile shows as it is now.
    browser_->reload();
}

}  // namespace kestrel::app
