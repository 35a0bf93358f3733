// The folders dialog and the CP932 byte limits of the fields it shares with the others.
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/dialogs/cp932_field.h"
#include "app/dialogs/folders_dialog.h"
#include "core/text/sjis.h"
#include "dialog_driver.h"

using namespace kestrel::app;
using kestrel::testing::click;
using kestrel::testing::named;
using kestrel::testing::type_text;
using kestrel::text::sjis;

namespace {

TEST(Cp932Field, LimitsCountBytesAndNeverSplitACharacter) {
    struct Row {
        const char* name;
        std::size_t limit;
        QString typed;
        QString kept;
    };
    const Row rows[] = {
        {"single bytes stop at the limit", 3, "abcd", "abc"},
        {"a double-byte character that would cross is refused", 3, "abあ", "ab"},
        {"double-byte characters count two", 4, "あいう", "あい"},
        {"half-width kana count one", 3, "ｱｲｳｴ", "ｱｲｳ"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QLineEdit typed, pasted;
        limit_cp932(&typed, row.limit);
        limit_cp932(&pasted, row.limit);
        type_text(&typed, row.typed);
        pasted.insert(row.typed);
        EXPECT_EQ(typed.text(), row.kept);
        EXPECT_EQ(pasted.text(), row.kept);
        EXPECT_EQ(cp932_text(&typed, row.limit), to_cp932(row.kept));
    }
    // A paste in the middle of a full-up field keeps the text around it.
    QLineEdit field;
    limit_cp932(&field, 5);
    field.setText("abcd");
    field.setCursorPosition(2);
    field.insert("XYZ");
    EXPECT_EQ(field.text(), "abXcd");
    EXPECT_EQ(cp932_prefix(sjis("aあい"), 4), sjis("aあ"));
}

TEST(FoldersDialog, BrowseFillsTheFieldAndOnlyOkStores) {
    QTemporaryDir existing;
    const std::string old_dl = sjis(existing.path().toStdString());
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        kestrel::Settings settings;
        settings.dl_dir.assign(old_dl);
        settings.ul_dir.assign("/no/such/folder");
        const QString cwd = QDir::currentPath();
        QStringList starts;
        const bool stored = run_folders_dialog(nullptr, settings, [&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), "フォルダーの選択");
            auto& folders = static_cast<FoldersDialog&>(d);
            folders.set_folder_chooser([&](const QString& start) {
                starts << start;
                return starts.size() == 1 ? QStringLiteral("/srv/受信") : QString();
            });
            click(d, "D/Lﾃﾞｨﾚｸﾄﾘｰ 参照");
            click(d, "U/Lﾃﾞｨﾚｸﾄﾘｰ 参照");  // cancelled: the field stays
            EXPECT_EQ(named<QLineEdit>(d, "D/Lﾃﾞｨﾚｸﾄﾘｰ")->text(), "/srv/受信");
            EXPECT_EQ(named<QLineEdit>(d, "U/Lﾃﾞｨﾚｸﾄﾘｰ")->text(), "/no/such/folder");
            named<QLineEdit>(d, "U/Lﾃﾞｨﾚｸﾄﾘｰ")->setText(QString(255, 'u'));
            click(d, ok ? "OK" : "ｷｬﾝｾﾙ");
            return d.result();
        });
        EXPECT_EQ(stored, ok);
        EXPECT_EQ(starts, QStringList({existing.path(), cwd}));
        EXPECT_EQ(QDir::currentPath(), cwd);
        EXPECT_EQ(settings.dl_dir.view(), ok ? sjis("/srv/受信") : old_dl);
        EXPECT_EQ(settings.ul_dir.view(), ok ? std::string(254, 'u') : "/no/such/folder");
    }
}

}  // namespace
