// Writes the program icon as kestrel-<size>.png for each size it is drawn at, into the
// folder named on the command line: the icon theme's pictures come from the same drawing
// the running program shows, so they cannot drift apart.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "app/shell/program_icon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: kestrel_icon_png FOLDER\n", stderr);
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QIcon icon = kestrel::app::program_icon();
    for (const QSize& size : icon.availableSizes()) {
        const QString name = folder.filePath(QStringLiteral("kestrel-%1.png").arg(size.width()));
        if (!icon.pixmap(size).toImage().save(name, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
