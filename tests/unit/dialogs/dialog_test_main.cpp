// Qt widgets need one QApplication for the whole run; the offscreen platform unless the
// environment chose another. Qt's dialogs keep no settings file, as in the program.
#include <QApplication>

#include <gtest/gtest.h>

#include "app/dialogs/qt_dialogs.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    kestrel::app::keep_qt_settings_off_disk();
    return RUN_ALL_TESTS();
}
