// The upload's pause-string dialog and its in-progress window.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "app/dialogs/pause_string_dialog.h"
#include "app/dialogs/upload_window.h"
#include "core/text/sjis.h"
#include "dialog_driver.h"

using namespace kestrel::app;
using kestrel::testing::click;
using kestrel::testing::named;
using kestrel::testing::type_text;
using kestrel::text::sjis;

namespace {

TEST(PauseStringDialog, InitialValueTakesEffectOnlyThroughOk) {
    struct Row {
        const char* name;
        QString typed;  // replaces the field when not null
        bool reset;
        const char* end;
        std::string stored;
    };
    const Row rows[] = {{"reset then cancel", {}, true, "ｷｬﾝｾﾙ", "END"},
                        {"reset then OK", {}, true, "OK", "/**/"},
                        {"80 typed, 79 kept", QString(90, 'x'), false, "OK", std::string(79, 'x')},
                        {"kana", "停止", false, "OK", sjis("停止")}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        kestrel::Settings settings;
        settings.pause_str.assign("END");
        const bool ok = run_pause_string_dialog(nullptr, settings, [&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), "U/Lﾎﾟｰｽﾞ文字列");
            auto* field = d.findChild<QLineEdit*>();
            EXPECT_EQ(field->text(), "END");
            if (!row.typed.isNull()) {
                field->clear();
                type_text(field, row.typed);
            }
            if (row.reset) {
                click(d, "初期値に戻す");
                EXPECT_EQ(field->text(), "/**/");
            }
            click(d, row.end);
            return d.result();
        });
        EXPECT_EQ(ok, std::string_view(row.end) == "OK");
        EXPECT_EQ(settings.pause_str.view(), row.stored);
    }
}

TEST(UploadWindow, ShowsTheNameBesideItsOwnerAndAsksForTheAbort) {
    QWidget owner;
    owner.show();
    UploadWindow window(&owner, sjis("ｸﾘｯﾌﾟﾎﾞｰﾄﾞU/L"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.parentWidget(), &owner);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(window.findChild<QLabel*>()->text(), "U/L中");
    auto* name = named<QLineEdit>(window, "U/L中");
    EXPECT_TRUE(name->isReadOnly());
    EXPECT_EQ(name->text(), "ｸﾘｯﾌﾟﾎﾞｰﾄﾞU/L");
    window.set_upload_name(sjis("日報.txt"));
    EXPECT_EQ(window.upload_name(), "日報.txt");
    QSignalSpy abort(&window, &UploadWindow::abort_requested);
    named<QAbstractButton>(window, "強制終了")->click();
    EXPECT_EQ(abort.count(), 1);
}

}  // namespace
