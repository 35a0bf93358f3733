// The RBBS dialog: records move in and out of the fields, the buttons and SHIFT+arrows
// store and say how the dialog ended, and Cancel undoes every record it touched.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/dialogs/existing_file_dialog.h"
#include "app/dialogs/folders_dialog.h"
#include "app/dialogs/pause_string_dialog.h"
#include "app/dialogs/rbbs_dialog.h"
#include "core/text/sjis.h"
#include "dialog_driver.h"

using namespace kestrel::app;
using kestrel::testing::click;
using kestrel::testing::named;
using kestrel::testing::type_text;
using kestrel::text::sjis;

namespace {

QLineEdit* field(QDialog& d, const char* name) { return named<QLineEdit>(d, name); }

kestrel::RbbsRecord sample_record() {
    kestrel::RbbsRecord r;
    r.name.assign(sjis("東京ＢＢＳ"));
    r.connect_command.assign("C JA1XYZ\\n");
    r.read_command.assign("RD");
    r.separator.assign(" ");
    r.extension.assign("txt");
    r.dl_start.assign("Msg#");
    r.dl_end.assign("JA1XYZ>");
    r.dl_start_valid = 1;
    r.unproto.assign("CQ");
    r.sort = 2;
    r.saver = 1;
    return r;
}

TEST(RbbsDialog, ShowsTheRecordAndStoresWhatWasEdited) {
    kestrel::Settings settings;
    settings.rbbs[12] = sample_record();
    const auto end = run_rbbs_dialog(nullptr, settings, 12, [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "ＲＢＢＳ プロパティー");
        EXPECT_EQ(field(d, "割り当てるﾌｧﾝｸｼｮﾝｷｰ")->text(), "SHIFT + F1");
        EXPECT_TRUE(field(d, "割り当てるﾌｧﾝｸｼｮﾝｷｰ")->isReadOnly());
        EXPECT_EQ(field(d, "ＲＢＢＳ名")->text(), "東京ＢＢＳ");
        EXPECT_EQ(field(d, "コネクトコマンド(改行￥ｎ)")->text(), "C JA1XYZ\\n");
        EXPECT_EQ(field(d, "セパレーター")->text(), " ");
        EXPECT_TRUE(named<QRadioButton>(d, "降順")->isChecked());
        EXPECT_TRUE(named<QCheckBox>(d, "日付名D/L開始文字列 有効")->isChecked());
        EXPECT_FALSE(named<QCheckBox>(d, "日付名D/L終了文字列 有効")->isChecked());
        EXPECT_TRUE(named<QCheckBox>(d, "ﾍﾞﾙでｽｸﾘｰﾝｾｰﾊﾞｰを解除")->isChecked());
        // No connect file: the pointer goes to the connect button.
        EXPECT_EQ(static_cast<RbbsDialog&>(d).pointer_target()->text(), "送信(SHIFT+↑)");

        field(d, "読み出しコマンド")->clear();
        type_text(field(d, "読み出しコマンド"), "READMSG123X");  // field takes 10
        field(d, "セパレーター")->clear();
        type_text(field(d, "セパレーター"), ",;");
        field(d, "コネクトﾌｧｲﾙ名")->setText("hello.txt");
        named<QRadioButton>(d, "なし")->click();
        named<QCheckBox>(d, "日付名D/L終了文字列 有効")->click();
        named<QCheckBox>(d, "ﾍﾞﾙでｽｸﾘｰﾝｾｰﾊﾞｰを解除")->click();
        click(d, "OK");
        return d.result();
    });
    EXPECT_EQ(end, RbbsDialogEnd::ok);
    const kestrel::RbbsRecord& r = settings.rbbs[12];
    EXPECT_EQ(r.read_command.view(), "READMSG12");
    EXPECT_EQ(r.separator.view(), ",");
    EXPECT_EQ(r.connect_file.view(), "hello.txt");
    EXPECT_EQ(r.name.view(), sjis("東京ＢＢＳ"));
    EXPECT_EQ(r.sort, 0);
    EXPECT_EQ(r.dl_end_valid, 1);
    EXPECT_EQ(r.saver, 0);
    EXPECT_EQ(settings.default_fkey_no, 12);

    // Now with a connect file the pointer goes to the upload button.
    run_rbbs_dialog(nullptr, settings, 12, [&](QDialog& d) {
        EXPECT_EQ(static_cast<RbbsDialog&>(d).pointer_target()->text(), "U/L(SHIFT+↓)");
        return int(QDialog::Rejected);
    });
}

// Each way out stores the fields into the record then current and says which it was.
TEST(RbbsDialog, ButtonsAndShiftArrowsStoreAndEndOrStep) {
    using End = RbbsDialogEnd;
    struct Row {
        const char* name;
        int start;
        const char* button;  // or null: the SHIFT+arrow key below, typed in the name field
        Qt::Key key;
        End end;
        int record;  // current afterwards
    };
    const Row rows[] = {
        {"connect button", 3, "送信(SHIFT+↑)", Qt::Key_unknown, End::connect, 3},
        {"SHIFT+up", 3, nullptr, Qt::Key_Up, End::connect, 3},
        {"upload button", 3, "U/L(SHIFT+↓)", Qt::Key_unknown, End::upload, 3},
        {"SHIFT+down", 3, nullptr, Qt::Key_Down, End::upload, 3},
        {"UNPROTO send", 3, "ＵＮＰＲＯＴＯ 送信", Qt::Key_unknown, End::unproto, 3},
        {"SHIFT+right wraps", 23, nullptr, Qt::Key_Right, End::ok, 0},
        {"SHIFT+left wraps", 0, nullptr, Qt::Key_Left, End::ok, 23},
        {"next button", 11, "次 (SHIFT+→)", Qt::Key_unknown, End::ok, 12},
        {"previous button", 12, "前 (SHIFT+←)", Qt::Key_unknown, End::ok, 11},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        kestrel::Settings settings;
        kestrel::RbbsShare share;
        const auto end = run_rbbs_dialog(
            nullptr, settings, row.start,
            [&](QDialog& d) {
                d.show();
                QLineEdit* name = field(d, "ＲＢＢＳ名");
                name->setFocus();
                type_text(name, "ABC");
                QTest::keyClick(name, Qt::Key_Return);  // does not close
                EXPECT_TRUE(d.isVisible());
                if (row.button) {
                    click(d, row.button);
                } else {
                    QTest::keyClick(name, row.key, Qt::ShiftModifier);
                }
                if (d.isVisible()) {
                    EXPECT_EQ(static_cast<RbbsDialog&>(d).record(), row.record);
                    EXPECT_EQ(share.current.load(), row.record);  // the receiver follows at once
                    EXPECT_EQ(name->text(), "");                  // the next record is shown
                    click(d, "OK");
                }
                return d.result();
            },
            &share);
        EXPECT_EQ(end, row.end);
        EXPECT_EQ(settings.rbbs[row.start].name.view(), "ABC");
        EXPECT_EQ(settings.default_fkey_no, row.record);
        EXPECT_EQ(share.current.load(), row.record);
    }
}

TEST(RbbsDialog, CancelPutsBackEveryRecordAndTheCurrentOne) {
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Esc" : "ｷｬﾝｾﾙ");
        kestrel::Settings settings;
        settings.rbbs[0] = sample_record();
        settings.default_fkey_no = 5;
        kestrel::RbbsShare share;
        share.current = 5;
        const auto end = run_rbbs_dialog(
            nullptr, settings, 23,
            [&](QDialog& d) {
                EXPECT_EQ(field(d, "割り当てるﾌｧﾝｸｼｮﾝｷｰ")->text(), "SHIFT+ F12");
                field(d, "ＲＢＢＳ名")->setText("first");
                click(d, "次 (SHIFT+→)");
                EXPECT_EQ(field(d, "割り当てるﾌｧﾝｸｼｮﾝｷｰ")->text(), "F1");
                field(d, "ＲＢＢＳ名")->setText("second");
                named<QRadioButton>(d, "昇順")->click();
                click(d, "前 (SHIFT+←)");
                EXPECT_EQ(field(d, "ＲＢＢＳ名")->text(), "first");
                EXPECT_EQ(settings.rbbs[0].name.view(), "second");
                if (escape) {
                    QTest::keyClick(&d, Qt::Key_Escape);
                } else {
                    click(d, "ｷｬﾝｾﾙ");
                }
                return d.result();
            },
            &share);
        EXPECT_EQ(end, RbbsDialogEnd::cancel);
        EXPECT_EQ(settings.rbbs[23].name.view(), "");
        EXPECT_EQ(settings.rbbs[0].name.view(), sjis("東京ＢＢＳ"));
        EXPECT_EQ(settings.rbbs[0].sort, 2);
        EXPECT_EQ(settings.default_fkey_no, 5);
        EXPECT_EQ(share.current.load(), 5);
    }
}

// Every control a screen reader can land on says what it is, in each dialog of this work.
TEST(BbsDialogs, EveryControlHasAnAccessibleName) {
    kestrel::Settings settings;
    kestrel::RbbsShare share;
    ExistingFileDialog existing(false);
    FoldersDialog folders(settings);
    PauseStringDialog pause("/**/");
    RbbsDialog rbbs(settings, 0, &share);
    for (QDialog* d : std::initializer_list<QDialog*>{&existing, &folders, &pause, &rbbs}) {
        SCOPED_TRACE(d->windowTitle().toStdString());
        EXPECT_FALSE(d->accessibleName().isEmpty());
        QStringList names;
        for (QWidget* w : d->findChildren<QWidget*>()) {
            if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLineEdit*>(w) &&
                !qobject_cast<QGroupBox*>(w))
                continue;
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
            names << w->accessibleName();
        }
        const qsizetype all = names.size();
        names.removeDuplicates();
        EXPECT_EQ(names.size(), all) << "two controls share a name";
    }
}

}  // namespace
