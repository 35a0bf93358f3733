// The back-scroll search over a ring tncsim has filled past its end.

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/screen/search_bar.h"
#include "app/shell/command_ids.h"
#include "core/text/sjis.h"
#include "gui_rig.h"
#include "tncsim_process.h"

using kestrel::testing::TncsimProcess;
using kestrel::text::sjis;

class SearchWatchTest : public QObject {
    Q_OBJECT
private slots:
    void search_walks_a_wrapped_ring();
};

void SearchWatchTest::search_walks_a_wrapped_ring() {
    if (!TncsimProcess::available()) QSKIP("tncsim is not built");
    // 6000 lines "000001 The quick ... いろはにほへと ちりぬるを" of 79 bytes: the ring of 5000
    // has wrapped, and its oldest line is burst line 1002.
    TncsimProcess sim({"--burst", "474000", "--no-echo", "--exit-on-hangup"});
    GuiRig rig;
    rig.start_on(sim.slave_path());
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
            // As an input method types: one key event carrying the characters.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                            QString::fromUtf8(step.action));
            QCoreApplication::sendEvent(bar->field(), &press);
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

QTEST_MAIN(SearchWatchTest)
#include "search_test.moc"
