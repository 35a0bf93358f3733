// The RBBS dialog: records move in and out of the fields, every way out stores and says
// how the dialog ended, and Cancel undoes every record it touched.
#include "app/dialogs/rbbs_dialog.h"
#include "core/text/sjis.h"
#include "dialog_driver.h"

using namespace kestrel::app;
using namespace kestrel::testing;
using End = RbbsDialogEnd;

static QLineEdit* field(QDialog& d, const char* name) { return named<QLineEdit>(d, name); }

static auto fields(const kestrel::RbbsRecord& r) {
    return std::tuple(r.name.view(), r.connect_command.view(), r.connect_file.view(),
                      r.read_command.view(), r.separator.view(), r.extension.view(),
                      r.dl_start.view(), r.dl_end.view(), r.unproto.view(), r.dl_start_valid,
                      r.dl_end_valid, r.sort, r.saver);
}

// Steps from the last record to the first and back, both wrapping, storing each record
// left, then ends one way: the sending ways store like OK; ｷｬﾝｾﾙ and Esc put back all 24
// records and the current one. SHIFT with an arrow acts as the arrow's button. The record
// stored on stepping away is the one the fields showed: a field loaded wrong stores wrong.
TEST(RbbsDialog, EveryWayOutStoresOrPutsAllRecordsBack) {
    // A button, or a key typed in the name field.
    const std::tuple<const char*, Qt::Key, End> rows[] = {{"OK", {}, End::ok},
                                                          {"ＵＮＰＲＯＴＯ 送信", {}, End::unproto},
                                                          {nullptr, Qt::Key_Up, End::connect},
                                                          {nullptr, Qt::Key_Down, End::upload},
                                                          {"ｷｬﾝｾﾙ", {}, End::cancel},
                                                          {nullptr, Qt::Key_Escape, End::cancel}};
    for (const auto& [button, key, way_out] : rows) {
        SCOPED_TRACE(button ? std::string(button) : "key " + std::to_string(key));
        const bool stored = way_out != End::cancel;
        kestrel::Settings settings;
        kestrel::RbbsRecord& r = settings.rbbs[23];
        r.name.assign(kestrel::text::sjis("東京ＢＢＳ"));
        r.connect_command.assign("C JA1XYZ\\n");
        r.read_command.assign("RD");
        r.separator.assign(" ");
        r.extension.assign("txt");
        r.dl_start.assign("Msg#");
        r.dl_end.assign("JA1XYZ>");
        r.unproto.assign("CQ");
        r.dl_start_valid = r.saver = 1;
        r.sort = 2;
        settings.default_fkey_no = 5;
        auto want = settings.rbbs;
        kestrel::RbbsRecord left = r;
        left.connect_file.assign("hello.txt");
        kestrel::RbbsShare share;
        share.current = 5;
        const auto end = run_rbbs_dialog(
            nullptr, settings, 23,
            [&](QDialog& d) {
                d.show();
                EXPECT_EQ(field(d, "割り当てるﾌｧﾝｸｼｮﾝｷｰ")->text(), "SHIFT+ F12");
                EXPECT_TRUE(field(d, "割り当てるﾌｧﾝｸｼｮﾝｷｰ")->isReadOnly());
                auto& rbbs = static_cast<RbbsDialog&>(d);
                EXPECT_EQ(rbbs.pointer_target()->text(), "送信(SHIFT+↑)");  // no connect file

                QLineEdit* name = field(d, "ＲＢＢＳ名");
                field(d, "コネクトﾌｧｲﾙ名")->setText("hello.txt");
                QTest::keyClick(name, Qt::Key_Right, Qt::ShiftModifier);
                EXPECT_EQ(fields(settings.rbbs[23]), fields(left));  // as shown, and edited
                EXPECT_EQ(field(d, "割り当てるﾌｧﾝｸｼｮﾝｷｰ")->text(), "F1");
                EXPECT_EQ(share.current.load(), 0);  // the receiver follows at once
                type_text(name, "second");
                QTest::keyClick(name, Qt::Key_Return);  // closes nothing
                click(d, "昇順");
                QTest::keyClick(name, Qt::Key_Left, Qt::ShiftModifier);
                EXPECT_EQ(rbbs.pointer_target()->text(), "U/L(SHIFT+↓)");

                // The read command takes 10 bytes typed and keeps 9; the separator takes one.
                field(d, "読み出しコマンド")->clear();
                type_text(field(d, "読み出しコマンド"), "READMSG123X");
                field(d, "セパレーター")->clear();
                type_text(field(d, "セパレーター"), ",;");
                for (const char* box :
                     {"なし", "日付名D/L終了文字列 有効", "ﾍﾞﾙでｽｸﾘｰﾝｾｰﾊﾞｰを解除"})
                    click(d, box);
                EXPECT_TRUE(d.isVisible());
                button ? click(d, button)
                       : QTest::keyClick(
                             name, key, key == Qt::Key_Escape ? Qt::NoModifier : Qt::ShiftModifier);
                return d.result();
            },
            &share);
        if (stored) {
            want[0].name.assign("second");
            want[0].sort = 1;
            kestrel::RbbsRecord& w = want[23] = left;
            w.read_command.assign("READMSG12");
            w.separator.assign(",");
            w.sort = w.saver = 0;
            w.dl_end_valid = 1;
        }
        EXPECT_EQ(end, way_out);
        for (int i = 0; i < kestrel::rbbs_count; ++i)
            EXPECT_EQ(fields(settings.rbbs[i]), fields(want[i])) << "record " << i;
        EXPECT_EQ(settings.default_fkey_no, stored ? 23 : 5);
        EXPECT_EQ(share.current.load(), stored ? 23 : 5);
    }
}
