// The back-scroll search over a ring tncsim has filled past its end, and the spot watch list
// set in the packet-cluster options lighting up tncsim's cluster spots.

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "app/dialogs/cluster_options_dialog.h"
#include "app/dialogs/watch_list_dialog.h"
#include "app/scope/pc_scope_window.h"
#include "app/screen/search_bar.h"
#include "app/shell/command_ids.h"
#include "core/text/sjis.h"
#include "gui_rig.h"
#include "tncsim_process.h"

using kestrel::testing::TncsimProcess;
using kestrel::text::sjis;

namespace {

void click(QWidget* dialog, const QString& name) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
        if (b->accessibleName() == name) return b->click();
    }
    QFAIL(qPrintable(name));
}

// Text as it comes from an input method: one key event carrying the characters.
void type_into(QWidget* field, const char* utf8) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(utf8));
    QCoreApplication::sendEvent(field, &press);
}

}  // namespace

class SearchWatchTest : public QObject {
    Q_OBJECT
private slots:
    void search_walks_a_wrapped_ring();
    void a_watched_call_lights_up();
};

void SearchWatchTest::search_walks_a_wrapped_ring() {
    if (!TncsimProcess::available()) QSKIP("tncsim is not built");
    // 6000 lines "000001 The quick ... いろはにほへと ちりぬるを" of 79 bytes: the ring of 5000
    // has wrapped, and its oldest line is burst line 1002.
    TncsimProcess sim({"--burst", "474000", "--no-echo", "--exit-on-hangup"});
    GuiRig rig;
    rig.start(GuiRig::settings_text(QString::fromStdString(sim.slave_path())));
    MainWindow& w = rig.window();
    const kestrel::LineStore& store = w.pane_context().store;
    const kestrel::Backscroll& backscroll = w.pane_context().backscroll;
    rig.key(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(store.line_text(1).starts_with("006000 "), 90000);
    rig.settle();

    QVERIFY(w.menu_item(command::search)->text().endsWith(QStringLiteral("\tALT+G")));
    rig.key(Qt::Key_G, Qt::AltModifier);
    SearchBar* bar = w.backscroll_pane()->search_bar();
    QVERIFY(bar->isVisible());
    QVERIFY(backscroll.split_view());
    // Each step: text typed, or Enter ("+") or SHIFT+Enter ("-"); then the burst number of
    // the cursor's line, the note, and what a screen reader is told.
    const struct Step {
        const char *action, *line;
        QString note, told;
    } steps[] = {
        {"ち", "006000 ", {}, "006000 "},  // incremental, from the newest line back
        {"りぬ", "006000 ", {}, "006000 "},
        {"+", "005999 ", {}, "005999 "},
        {"-", "006000 ", {}, "006000 "},
        {"-", "001002 ", "最も古い行から続けました", "最も古い行から続けました  001002 "},
        {"+", "006000 ", "最新の行から続けました", "最新の行から続けました  006000 "},
        {"X", "006000 ", "見つかりません", "見つかりません"},
    };
    for (const Step& step : steps) {
        if (std::string_view("+-").find(step.action) == std::string_view::npos) {
            type_into(bar->field(), step.action);
        } else {
            QTest::keyClick(bar->field(), Qt::Key_Return,
                            *step.action == '-' ? Qt::ShiftModifier : Qt::NoModifier);
        }
        rig.settle();
        const std::string line = store.line_text(backscroll.cursor_line_age());
        QVERIFY2(line.starts_with(step.line), line.c_str());
        QCOMPARE(bar->note()->text(), step.note);
        const QString told = bar->field()->accessibleDescription();
        QVERIFY2(told.startsWith(step.told), qPrintable(told));
    }
    QTest::keyClick(bar->field(), Qt::Key_Backspace);
    rig.settle();
    // The pane shows the hit's line, its three characters highlighted.
    QVERIFY(w.backscroll_pane()->accessible_text().contains(QStringLiteral("006000 The")));
    const std::string line = store.line_text(backscroll.cursor_line_age());
    QCOMPARE(bar->highlight_column(line), int(line.find(sjis("ちりぬ"))));
    QCOMPARE(bar->highlight_length(), 6);

    QTest::keyClick(bar->field(), Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QVERIFY(backscroll.split_view());
}

void SearchWatchTest::a_watched_call_lights_up() {
    if (!TncsimProcess::available()) QSKIP("tncsim is not built");
    TncsimProcess sim({"--mycall", "JA1KES", "--dx-interval", "0.05", "--exit-on-hangup"});
    GuiRig rig;
    rig.start(GuiRig::settings_text(QString::fromStdString(sim.slave_path()),
                                    QStringLiteral("[RS232C]\r\nLOCAL_ECHO=0\r\n")));
    MainWindow& w = rig.window();
    // Options, then its list editor: two entries typed at once, in capitals.
    rig.on_dialog = [](QDialog& dialog) {
        if (auto* editor = qobject_cast<WatchListDialog*>(&dialog)) {
            QTest::keyClicks(editor->entry_field(), QStringLiteral("vk9*, k1abc"));
            click(editor, QStringLiteral("追加"));
        } else {
            click(&dialog, QStringLiteral("ｳｫｯﾁﾘｽﾄ..."));
        }
        dialog.accept();
        return int(QDialog::Accepted);
    };
    w.dispatch(command::cluster_options);
    QCOMPARE(rig.session().settings.watch_list.view(), "VK9* K1ABC");
    w.dispatch(command::save_settings);
    QFile ini(rig.settings_path());
    QVERIFY(ini.open(QIODevice::ReadOnly) && ini.readAll().contains("CALLS=VK9* K1ABC"));

    w.dispatch(command::pc_scope);
    PcScopeWindow* scope = w.cluster().scope;
    int bells = 0;
    scope->bell = [&bells] { ++bells; };
    rig.key(Qt::Key_C, Qt::ControlModifier);
    rig.type(QStringLiteral("C JA1DX"));
    rig.key(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(bells >= 2, 30000);
    rig.type(QStringLiteral("BYE"));
    rig.key(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(rig.terminal_text().contains(QStringLiteral("73 de JA1DX")), 10000);
    QCoreApplication::processEvents();

    // One bell per watched announcement received; every watched line is lit, no other.
    auto watched = [](const QString& text) {
        return text.contains(QStringLiteral(" VK9")) || text.contains(QStringLiteral(" K1ABC "));
    };
    int watched_lines = 0;
    for (int age = 0; age < kestrel::LineStore::line_count; ++age) {
        const QString line = QString::fromLatin1(w.pane_context().store.line_text(age));
        watched_lines += line.startsWith(QStringLiteral("DX de ")) && watched(line);
    }
    QCOMPARE(bells, watched_lines);
    const QListWidget* list = scope->spot_list();
    for (int i = 0; i < list->count(); ++i) {
        QCOMPARE(list->item(i)->background().color() == QColor(255, 255, 0),
                 watched(list->item(i)->text()));
    }
    QVERIFY(watched(list->accessibleDescription()));
}

QTEST_MAIN(SearchWatchTest)
#include "search_watch_test.moc"
