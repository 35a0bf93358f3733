// The Time Stamp and font dialogs run modally, as the menu commands run them, and are
// answered from inside their own event loops.
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/dialogs/colour_dialog.h"
#include "app/dialogs/font_dialog.h"
#include "app/dialogs/time_stamp_dialog.h"
#include "modal_helper.h"

using namespace kestrel::app;

namespace {

using kestrel::testing::when_modal;

QPushButton* button(QWidget* window, const QString& text) {
    for (auto* b : window->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

TEST(TimeStampDialog, OkTakesTheBoxAndEscapeLeavesTheOption) {
    bool on = false;
    QStringList texts;
    when_modal<TimeStampDialog>([&](TimeStampDialog* d) {
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->windowTitle(), "Time Stamp");
        for (auto* label : d->findChildren<QLabel*>()) texts << label->text();
        auto* box = d->findChild<QCheckBox*>();
        EXPECT_EQ(box->text(), "TimeStampを受信行の先頭に入れる");
        EXPECT_FALSE(box->isChecked());
        box->setChecked(true);
        button(d, "OK")->click();
    });
    EXPECT_TRUE(run_time_stamp_dialog(nullptr, on));
    EXPECT_TRUE(on);
    EXPECT_EQ(texts,
              QStringList({"その受信行の時刻は１行下の先頭になります", "ご承知おきください"}));

    when_modal<TimeStampDialog>([&](TimeStampDialog* d) {
        ASSERT_NE(d, nullptr);
        d->findChild<QCheckBox*>()->setChecked(false);
        QTest::keyClick(d, Qt::Key_Escape);
    });
    EXPECT_FALSE(run_time_stamp_dialog(nullptr, on));
    EXPECT_TRUE(on);
}

TEST(FontDialog, ZeroSizeForAScalableKindIsRefusedAndTheDialogStays) {
    kestrel::Settings settings;
    settings.font_type = 2;
    settings.log_font_y = 14;
    settings.bs_yohaku = 1;
    QString refusal_text, refusal_caption;
    bool stayed_open = false;

    when_modal<FontDialog>([&](FontDialog* d) {
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->windowTitle(), "文字の大きさ");
        d->findChild<QLineEdit*>()->setText("0");
        when_modal<QMessageBox>([&](QMessageBox* box) {
            ASSERT_NE(box, nullptr);
            refusal_text = box->text();
            refusal_caption = box->windowTitle();
            box->button(QMessageBox::Ok)->click();
        });
        button(d, "OK")->click();  // returns once the refusal is answered
        stayed_open = d->isVisible();
        d->findChild<QLineEdit*>()->setText("18");
        d->findChild<QCheckBox*>()->setChecked(false);
        button(d, "OK")->click();
    });
    EXPECT_TRUE(run_font_dialog(nullptr, settings));
    EXPECT_EQ(refusal_text, "文字の大きはゼロにできません");
    EXPECT_EQ(refusal_caption, "Kestrel");
    EXPECT_TRUE(stayed_open);
    EXPECT_EQ(settings.font_type, 2);
    EXPECT_EQ(settings.log_font_y, 18);
    EXPECT_EQ(settings.bs_yohaku, 0);
}

TEST(FontDialog, FixedKindTakesTheMeasuredHeightAndCancelChangesNothing) {
    kestrel::Settings settings;
    settings.font_type = 0;
    settings.log_font_y = 13;
    const int measured = QFontMetrics(kestrel_font(settings)).height();

    when_modal<FontDialog>([&](FontDialog* d) {
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->findChild<QLineEdit*>()->text(), QString::number(measured));
        button(d, "OK")->click();
    });
    EXPECT_TRUE(run_font_dialog(nullptr, settings));
    EXPECT_EQ(settings.font_type, 0);
    EXPECT_EQ(settings.log_font_y, measured);

    const kestrel::Settings before = settings;
    when_modal<FontDialog>([&](FontDialog* d) {
        ASSERT_NE(d, nullptr);
        for (auto* r : d->findChildren<QRadioButton*>())
            if (r->text() == "明朝") r->click();
        EXPECT_EQ(d->font_kind(), 1);
        d->findChild<QLineEdit*>()->setText("30");
        button(d, "ｷｬﾝｾﾙ")->click();
    });
    EXPECT_FALSE(run_font_dialog(nullptr, settings));
    EXPECT_EQ(settings.font_type, before.font_type);
    EXPECT_EQ(settings.log_font_y, before.log_font_y);
}

// OK with nothing changed stores the height the dialog showed, and that height gives the
// same font again: pressing OK over and over never grows the font.
TEST(FontDialog, OkWithNothingChangedKeepsTheFont) {
    for (int kind : {0, 1, 2}) {
        SCOPED_TRACE(kind);
        kestrel::Settings settings;
        settings.font_type = kind;
        settings.log_font_y = 16;
        const int shown = QFontMetrics(kestrel_font(settings)).height();
        for (int press = 0; press < 3; ++press) {
            when_modal<FontDialog>([](FontDialog* d) {
                ASSERT_NE(d, nullptr);
                button(d, "OK")->click();
            });
            ASSERT_TRUE(run_font_dialog(nullptr, settings));
            EXPECT_EQ(settings.log_font_y, shown);
            EXPECT_EQ(QFontMetrics(kestrel_font(settings)).height(), shown);
        }
    }
}

TEST(KestrelFont, KindsResolveToInstalledJapaneseFonts) {
    kestrel::Settings settings;
    settings.font_type = 1;
    settings.log_font_y = 20;
    QFont mincho = kestrel_font(settings);
    EXPECT_LE(QFontMetrics(mincho).height(), 20);
    EXPECT_TRUE(mincho.families().contains("IPAMincho"));
    settings.font_type = 2;
    EXPECT_TRUE(kestrel_font(settings).families().contains("IPAGothic"));
    // Where the IPA fonts are installed a full-width character is two half-width cells
    // at an even size, which is what the panes' grid relies on.
    if (QFontInfo(kestrel_font(settings)).family() == "IPAGothic") {
        QFontMetrics m(kestrel_font(settings));
        EXPECT_EQ(m.horizontalAdvance(QStringLiteral("あ")), 2 * m.horizontalAdvance('A'));
    }
}

TEST(ColourDialog, StartsFromTheCurrentColourWithWhiteCustomColours) {
    kestrel::Colour colour{0, 128, 128};
    when_modal<QColorDialog>([&](QColorDialog* d) {
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->currentColor(), QColor(0, 128, 128));
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            EXPECT_EQ(QColorDialog::customColor(i), QColor(Qt::white));
        QColorDialog::setCustomColor(3, QColor(1, 2, 3));
        d->setCurrentColor(QColor(10, 20, 30));
        d->accept();
    });
    EXPECT_TRUE(choose_colour(nullptr, colour));
    EXPECT_EQ(colour, (kestrel::Colour{10, 20, 30}));

    // The custom colours outlive the dialog; Cancel keeps the colour.
    when_modal<QColorDialog>([&](QColorDialog* d) {
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(QColorDialog::customColor(3), QColor(1, 2, 3));
        d->setCurrentColor(QColor(200, 0, 0));
        d->reject();
    });
    EXPECT_FALSE(choose_colour(nullptr, colour));
    EXPECT_EQ(colour, (kestrel::Colour{10, 20, 30}));
}

}  // namespace
