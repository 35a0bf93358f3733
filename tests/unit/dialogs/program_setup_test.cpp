// How the program sets Qt up before its first window: the icon it shows everywhere, the
// language of Qt's own dialogs and the settings they would keep.
#include "app/dialogs/colour_dialog.h"
#include "app/dialogs/qt_dialogs.h"
#include "app/shell/program_icon.h"
#include "dialog_driver.h"

using namespace kestrel::app;
using kestrel::testing::when_modal;

// At every size: a transparent corner, the blue square, and the bird over it, at the same
// places of the 64-unit drawing.
TEST(ProgramIcon, EverySizeShowsTheBirdOnItsSquare) {
    const QIcon icon = program_icon();
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage image = icon.pixmap(size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        auto at = [&](int x, int y) { return image.pixelColor(x * size / 64, y * size / 64); };
        const QColor sky = at(10, 40), body = at(32, 30);
        EXPECT_EQ(at(0, 0).alpha(), 0);
        EXPECT_GT(sky.blue(), sky.red());
        EXPECT_GT(body.red(), body.green());
        EXPECT_GT(body.green(), body.blue());
    }
}

// Whatever the locale, the texts Qt writes itself are Japanese.
TEST(QtDialogs, SpeakJapanese) {
    std::unique_ptr<QTranslator> japanese(install_qt_japanese());
    ASSERT_NE(japanese, nullptr);
    EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(),
              "キャンセル");
    QCoreApplication::removeTranslator(japanese.get());
}

// A run of its own, with a home and configuration folders of its own: a custom colour
// added in the colour chooser and a file chooser, both answered, then the program's end.
// Neither leaves a file of Qt's behind.
TEST(QtDialogs, KeepNothingOnDisk) {
    if (qEnvironmentVariableIsSet("KESTREL_QT_SETTINGS_RUN")) {
        keep_qt_settings_off_disk();
        when_modal<QColorDialog>([](QColorDialog* d) {
            ASSERT_NE(d, nullptr);
            QColorDialog::setCustomColor(0, QColor(1, 2, 3));
            d->accept();
        });
        kestrel::Colour colour;
        EXPECT_TRUE(choose_colour(nullptr, colour));
        when_modal<QFileDialog>([](QFileDialog* d) {
            ASSERT_NE(d, nullptr);
            d->reject();
        });
        QFileDialog::getOpenFileName(nullptr, QStringLiteral("ダウンロード"));
        return;
    }
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
    environment.insert("KESTREL_QT_SETTINGS_RUN", "1");
    QProcess run;
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=QtDialogs.KeepNothingOnDisk"});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAll().toStdString();
    QDirIterator left(home.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    EXPECT_FALSE(left.hasNext()) << left.next().toStdString();
}
