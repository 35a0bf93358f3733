#include "app/dialogs/serial_devices.h"

#include <QCollator>
#include <QDir>

#include <algorithm>

namespace kestrel::app {

namespace {

QStringList entries(const QString& directory, const QString& pattern) {
    QDir dir(directory);
    // System entries: device nodes are neither files nor directories to QDir.
    const QStringList names =
        dir.entryList({pattern}, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    QStringList paths;
    for (const QString& name : names) paths << dir.filePath(name);
    QCollator natural;
    natural.setNumericMode(true);
    std::sort(paths.begin(), paths.end(),
              [&](const QString& a, const QString& b) { return natural.compare(a, b) < 0; });
    return paths;
}

}  // namespace

QStringList find_serial_devices() {
    QStringList found;
    found << entries("/dev/serial/by-id", "*") << entries("/dev", "ttyUSB*")
          << entries("/dev", "ttyACM*") << entries("/dev", "ttyS*");
    return found;
}

}  // namespace kestrel::app
