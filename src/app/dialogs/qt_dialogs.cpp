#include "app/dialogs/qt_dialogs.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

namespace kestrel::app {

QTranslator* install_qt_japanese() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

// The program itself uses no QSettings: the only users of these paths are Qt's dialogs.
// Under /dev/null, which is no folder, no file can be created or found.
void keep_qt_settings_off_disk() {
    for (QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
        QSettings::setPath(QSettings::NativeFormat, scope, QStringLiteral("/dev/null"));
    }
}

}  // namespace kestrel::app
