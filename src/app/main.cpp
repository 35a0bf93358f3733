// Kestrel: a terminal for one TNC on a serial port. The one argument is the settings file.

#include <QApplication>
#include <memory>

#include "accessibility/accessible_pane.h"
#include "shell/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    install_pane_accessibility();

    const std::string command_line = argc > 1 ? argv[1] : "";
    auto session = std::make_unique<Session>(command_line);
    MainWindow window(*session);
    window.start();
    return QApplication::exec();
}
