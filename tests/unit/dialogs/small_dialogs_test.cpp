// The smaller dialogs, each answered as its menu command or the desktop runs it, the CP932
// byte limits their fields share, and every dialog's texts and accessible names.
#include <future>

#include "app/dialogs/colour_dialog.h"
#include "app/dialogs/cp932_field.h"
#include "app/dialogs/existing_file_dialog.h"
#include "app/dialogs/folders_dialog.h"
#include "app/dialogs/font_dialog.h"
#include "app/dialogs/pause_string_dialog.h"
#include "app/dialogs/rbbs_dialog.h"
#include "app/dialogs/rs232c_dialog.h"
#include "app/dialogs/time_stamp_dialog.h"
#include "app/dialogs/upload_window.h"
#include "app/shell/qt_desktop.h"
#include "core/text/sjis.h"
#include "dialog_driver.h"
#include "fake_desktop.h"

using namespace kestrel::app;
using namespace kestrel::testing;
using kestrel::text::sjis;

// The first text is the window's title; the rest are shown somewhere in it. Every control
// a screen reader can land on is named, and only radio buttons share names (within groups).
// The upload window shows the upload's name, which it is given in CP932.
TEST(Dialogs, ShowTheirTextsAndNameEveryControl) {
    kestrel::Settings settings;
    QWidget owner;  // deletes them all
    const std::pair<QWidget*, QStringList> rows[] = {
        {new TimeStampDialog(false, &owner),
         {"Time Stamp", "その受信行の時刻は１行下の先頭になります", "ご承知おきください"}},
        {new FontDialog(settings, &owner), {"文字の大きさ", "FixedSys ", "dot"}},
        {new ExistingFileDialog(false, &owner), {"ダウンロード", "そのファイルは既にあります"}},
        {new FoldersDialog(settings, &owner),
         {"フォルダーの選択", "D/Lﾃﾞｨﾚｸﾄﾘｰ", "U/Lﾃﾞｨﾚｸﾄﾘｰ", "参照", "（例） /home/user/bbs"}},
        {new PauseStringDialog("/**/", &owner), {"U/Lﾎﾟｰｽﾞ文字列"}},
        {new RbbsDialog(settings, 0, nullptr, &owner),
         {"ＲＢＢＳ プロパティー", "前 (SHIFT+←)", "次 (SHIFT+→)", "並び替え", "有効",
          "ＵＮＰＲＯＴＯ", "Break +", "K", "送信"}},
        {new Rs232cDialog(settings.port, settings.port_devices, &owner),
         {"RS232C", "ｱｯﾌﾟﾛｰﾄﾞｳｴｲﾄ", "mm sec", "ＴＮＣ接続判定(DSR監視)   "}},
        {new UploadWindow(&owner, sjis("ｸﾘｯﾌﾟﾎﾞｰﾄﾞU/L")), {"U/L中", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞU/L"}}};
    for (const auto& [window, texts] : rows) {
        SCOPED_TRACE(texts[0].toStdString());
        EXPECT_EQ(window->windowTitle(), texts[0]);
        EXPECT_EQ(window->accessibleName(), texts[0]);
        QStringList shown, names;
        for (auto* w : window->findChildren<QWidget*>()) {
            for (const char* shows : {"text", "title"}) shown << w->property(shows).toString();
            const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w) ||
                                 qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w);
            if (!control || qobject_cast<QComboBox*>(w->parentWidget())) continue;
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
            if (!qobject_cast<QRadioButton*>(w)) names << w->accessibleName();
        }
        for (const QString& text : texts.mid(1))
            EXPECT_TRUE(shown.contains(text)) << text.toStdString();
        EXPECT_EQ(QSet(names.begin(), names.end()).size(), names.size()) << "names repeat";
    }
}

TEST(TimeStampDialog, OkTakesTheBoxAndEscapeLeavesTheOption) {
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "Esc");
        bool on = true;
        const bool stored = run_time_stamp_dialog(nullptr, on, [&](QDialog& d) {
            click(d, "TimeStampを受信行の先頭に入れる");
            ok ? click(d, "OK") : QTest::keyClick(&d, Qt::Key_Escape);
            return d.result();
        });
        EXPECT_EQ(stored, ok);
        EXPECT_EQ(on, !ok);
    }
}

// OK with nothing changed stores the height the dialog showed, which gives the same font
// again: OK over and over never grows it. A scalable kind refuses a size of 0 with a
// message and stays open. The same edits are dropped by ｷｬﾝｾﾙ and stored by OK.
TEST(FontDialog, OkStoresWhatItShowsRefusesZeroAndCancelChangesNothing) {
    for (int kind : {0, 1, 2}) {
        SCOPED_TRACE(kind);
        kestrel::Settings s;
        s.font_type = kind, s.log_font_y = 16, s.bs_yohaku = 1;
        const int shown = QFontMetrics(kestrel_font(s)).height();
        FakeDesktop desktop;
        for (int press = 0; press < 3; ++press) {
            ASSERT_TRUE(run_font_dialog(nullptr, s, &desktop, [&](QDialog& d) {
                d.show();
                auto* size = named<QLineEdit>(d, "文字の大きさ (dot)");
                EXPECT_EQ(size->text(), QString::number(shown));
                if (kind != 0 && press == 0) {
                    size->setText("0");
                    click(d, "OK");
                    EXPECT_TRUE(d.isVisible());
                    size->setText(QString::number(shown));
                }
                return end_with(d, "OK");
            }));
            EXPECT_EQ(s.log_font_y, shown);  // the next press shows it again
        }
        EXPECT_EQ(desktop.message_texts(),
                  std::vector<std::string>(kind ? 1 : 0, "文字の大きはゼロにできません"));
        for (const std::string_view end : {"ｷｬﾝｾﾙ", "OK"}) {
            run_font_dialog(nullptr, s, nullptr, [&](QDialog& d) {
                click(d, kind == 1 ? "ゴシック" : "明朝");
                named<QLineEdit>(d, "文字の大きさ (dot)")->setText("18");
                click(d, "ﾊﾞｯｸｽｸﾛｰﾙ画面の左端をあける");
                return end_with(d, QString::fromUtf8(end));
            });
            EXPECT_EQ(
                std::tuple(s.font_type, s.log_font_y, s.bs_yohaku),
                end == "OK" ? std::tuple(kind == 1 ? 2 : 1, 18, 0) : std::tuple(kind, shown, 1));
        }
    }
}

// Where the IPA fonts are installed a full-width character is two half-width cells at an
// even size, which is what the panes' grid relies on.
TEST(KestrelFont, KindsResolveToTheIpaFontsAndAFullWidthCharacterIsTwoCells) {
    if (!QFontDatabase::families().contains("IPAGothic")) GTEST_SKIP() << "no IPA fonts";
    kestrel::Settings s;
    s.font_type = 1;
    EXPECT_EQ(QFontInfo(kestrel_font(s)).family(), "IPAMincho");
    s.font_type = 2;
    EXPECT_EQ(QFontInfo(kestrel_font(s)).family(), "IPAGothic");
    const QFontMetrics cells(kestrel_font(s));
    EXPECT_EQ(cells.horizontalAdvance(QStringLiteral("あ")), 2 * cells.horizontalAdvance('A'));
}

// Custom colours start white and outlive the dialog; Cancel keeps the colour.
TEST(ColourDialog, StartsFromTheCurrentColourWithWhiteCustomColours) {
    kestrel::Colour colour{0, 128, 128};
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok);
        when_modal<QColorDialog>([&](QColorDialog* d) {
            ASSERT_NE(d, nullptr);
            EXPECT_EQ(d->currentColor(), ok ? QColor(0, 128, 128) : QColor(10, 20, 30));
            EXPECT_EQ(QColorDialog::customColor(3), QColor(ok ? Qt::white : Qt::blue));
            QColorDialog::setCustomColor(3, ok ? Qt::blue : Qt::white);  // white again after
            d->setCurrentColor(ok ? QColor(10, 20, 30) : QColor(200, 0, 0));
            ok ? d->accept() : d->reject();
        });
        EXPECT_EQ(choose_colour(nullptr, colour), ok);
        EXPECT_EQ(colour, (kestrel::Colour{10, 20, 30}));
    }
}

// The radio choice is kept even on Cancel. A worker's question is asked on the GUI thread;
// dismissed while the link closes, it returns at once, not OK, with the choice as asked.
TEST(ExistingFileDialog, QtDesktopAsksForAWorkerAndKeepsTheChoiceEvenOnCancel) {
    // No pick: no radio button clicked; no end: dismissed, no dialog.
    const std::tuple<bool, const char*, const char*, bool> rows[] = {
        {false, "上書き", "ｷｬﾝｾﾙ", true},
        {true, "追加", "ＯＫ", false},
        {true, nullptr, "ＯＫ", true},
        {true, nullptr, nullptr, true}};
    QtDesktop desktop;
    for (const auto& [overwrite, pick, end, overwrite_after] : rows) {
        SCOPED_TRACE(std::string(pick ? pick : "-") + " " + (end ? end : "dismissed"));
        bool on_gui_thread = false;
        desktop.set_dialog_runner([&](QDialog& d) {
            on_gui_thread = QThread::currentThread() == qApp->thread();
            EXPECT_EQ(named<QRadioButton>(d, "上書き")->isChecked(), overwrite);
            EXPECT_EQ(named<QRadioButton>(d, "追加")->isChecked(), !overwrite);
            if (pick) click(d, pick);
            return end_with(d, end);
        });
        desktop.dismiss_background_messages(!end);
        auto asked =
            std::async(std::launch::async, [&] { return desktop.ask_existing_file(overwrite); });
        while (asked.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents();
        const auto answer = asked.get();
        EXPECT_EQ(on_gui_thread, end != nullptr);
        EXPECT_EQ(answer.ok, end && end == std::string_view("ＯＫ"));
        EXPECT_EQ(answer.overwrite, overwrite_after);
    }
}

// Typed or pasted, a field keeps what fits and never half of a two-byte character.
TEST(Cp932Field, LimitsCountBytesAndNeverSplitACharacter) {
    const std::tuple<std::size_t, QString, QString> rows[] = {
        {3, "abcd", "abc"}, {3, "abあ", "ab"}, {4, "あいう", "あい"}, {3, "ｱｲｳｴ", "ｱｲｳ"}};
    for (const auto& [limit, text, kept] : rows) {
        SCOPED_TRACE(text.toStdString());
        QLineEdit typed, pasted;
        for (QLineEdit* f : {&typed, &pasted}) limit_cp932(f, limit);
        type_text(&typed, text);
        pasted.insert(text);
        EXPECT_EQ(typed.text(), kept);
        EXPECT_EQ(pasted.text(), kept);
    }
    // A paste in the middle of a full-up field keeps the text around it.
    QLineEdit field("abcd");
    limit_cp932(&field, 5);
    field.setCursorPosition(2);
    field.insert("XYZ");
    EXPECT_EQ(field.text(), "abXcd");
}

// The chooser starts in the field's folder, else in the current directory, which it never
// changes; a cancelled chooser leaves the field.
TEST(FoldersDialog, BrowseFillsTheFieldAndOnlyOkStores) {
    QTemporaryDir existing;
    const std::string old_dl = sjis(existing.path().toStdString());
    const QString cwd = QDir::currentPath();
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        kestrel::Settings settings;
        settings.dl_dir.assign(old_dl);
        settings.ul_dir.assign("/no/such/folder");
        QStringList starts;
        const bool stored = run_folders_dialog(nullptr, settings, [&](QDialog& d) {
            static_cast<FoldersDialog&>(d).set_folder_chooser([&](const QString& start) {
                starts << start;
                return starts.size() == 1 ? QStringLiteral("/srv/受信") : QString();
            });
            click(d, "D/Lﾃﾞｨﾚｸﾄﾘｰ 参照");
            click(d, "U/Lﾃﾞｨﾚｸﾄﾘｰ 参照");
            EXPECT_EQ(named<QLineEdit>(d, "D/Lﾃﾞｨﾚｸﾄﾘｰ")->text(), "/srv/受信");
            EXPECT_EQ(named<QLineEdit>(d, "U/Lﾃﾞｨﾚｸﾄﾘｰ")->text(), "/no/such/folder");
            named<QLineEdit>(d, "U/Lﾃﾞｨﾚｸﾄﾘｰ")->setText(QString(253, 'u') + "受");  // 255 bytes
            return end_with(d, ok ? "OK" : "ｷｬﾝｾﾙ");
        });
        EXPECT_EQ(stored, ok);
        EXPECT_EQ(starts, QStringList({existing.path(), cwd}));
        EXPECT_EQ(QDir::currentPath(), cwd);
        EXPECT_EQ(settings.dl_dir.view(), ok ? sjis("/srv/受信") : old_dl);
        EXPECT_EQ(settings.ul_dir.view(), ok ? std::string(253, 'u') : "/no/such/folder");
    }
}

// The field takes 80 bytes typed and stores 79; "初期値に戻す" only fills the field.
TEST(PauseStringDialog, InitialValueTakesEffectOnlyThroughOk) {
    // Typed replaces the field unless null.
    const std::tuple<QString, bool, const char*, std::string> rows[] = {
        {{}, true, "ｷｬﾝｾﾙ", "END"},
        {{}, true, "OK", "/**/"},
        {QString(78, 'x') + "停止", false, "OK", std::string(78, 'x')},
        {"停止", false, "OK", sjis("停止")}};
    for (const auto& [typed, reset, end, stored] : rows) {
        SCOPED_TRACE(stored);
        kestrel::Settings settings;
        settings.pause_str.assign("END");
        const bool ok = run_pause_string_dialog(nullptr, settings, [&](QDialog& d) {
            auto* field = named<QLineEdit>(d, "U/Lﾎﾟｰｽﾞ文字列");
            EXPECT_EQ(field->text(), "END");
            if (!typed.isNull()) field->clear(), type_text(field, typed);
            if (reset) click(d, "初期値に戻す");
            return end_with(d, end);
        });
        EXPECT_EQ(ok, end == std::string_view("OK"));
        EXPECT_EQ(settings.pause_str.view(), stored);
    }
}
