// How the program sets Qt up before its first window: the icon it shows everywhere, the
// language of Qt's own dialogs.
#include <QColorDialog>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QTranslator>

#include <gtest/gtest.h>

#include "app/dialogs/qt_dialogs.h"
#include "app/shell/program_icon.h"

using namespace kestrel::app;

namespace {

// At every size: a transparent corner, the blue square, and the bird over it, at the same
// places of the 64-unit drawing.
TEST(ProgramIcon, EverySizeShowsTheBirdOnItsSquare) {
    const QIcon icon = program_icon();
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        const QImage image = icon.pixmap(size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        const auto at = [&](double x, double y) {
            return image.pixelColor(x * size / 64, y * size / 64);
        };
        EXPECT_EQ(at(0, 0).alpha(), 0);
        const QColor sky = at(10, 40), body = at(32, 30);
        EXPECT_GT(sky.blue(), sky.red());
        EXPECT_GT(body.red(), body.green());
        EXPECT_GT(body.green(), body.blue());
    }
}

// Whatever the locale, the texts Qt writes itself are Japanese.
TEST(QtDialogs, SpeakJapanese) {
    QTranslator* japanese = install_qt_japanese();
    ASSERT_NE(japanese, nullptr);
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "キャンセル");
    QColorDialog colours;
    EXPECT_EQ(colours.windowTitle(), "色を選択");
    QCoreApplication::removeTranslator(japanese);
    delete japanese;
}

}  // namespace
