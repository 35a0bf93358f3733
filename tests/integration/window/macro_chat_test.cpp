// Key macros and the chat line through the main window, against tncsim's command mode.

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include "app/chat/chat_line.h"
#include "app/macros/key_macro_dialog.h"
#include "app/shell/command_ids.h"
#include "app/talk/talk_window.h"
#include "gui_rig.h"
#include "tncsim_process.h"

using kestrel::testing::TncsimProcess;

namespace {

// What the next macro dialog showed; `keys` are pressed in its key field.
struct Seen {
    QString title;
    bool input_method_off = false;
    bool open_before_last_key = false;
};

void pick_with(GuiRig& rig, Seen& seen, std::vector<QKeyCombination> keys) {
    rig.on_dialog = [&rig, &seen, keys](QDialog& d) {
        auto& dialog = static_cast<KeyMacroDialog&>(d);
        seen.title = dialog.windowTitle();
        seen.input_method_off =
            !rig.window().terminal_pane()->testAttribute(Qt::WA_InputMethodEnabled);
        dialog.show();
        for (QKeyCombination k : keys) {
            seen.open_before_last_key = dialog.isVisible();
            QTest::keyClick(dialog.key_field(), k.key(), k.keyboardModifiers());
        }
        return dialog.result();
    };
}

}  // namespace

class MacroChatTest : public QObject {
    Q_OBJECT
private slots:
    void macros_reach_the_terminal_and_the_chat_line();
};

void MacroChatTest::macros_reach_the_terminal_and_the_chat_line() {
    // Qt's keys as the rule numbers them: SHIFT makes no difference, keypad and F keys count.
    const std::pair<QKeyCombination, int> rows[] = {
        {Qt::ShiftModifier | Qt::Key_A, 0},       {Qt::KeypadModifier | Qt::Key_1, 0},
        {Qt::KeypadModifier | Qt::Key_Slash, 14}, {QKeyCombination(Qt::Key_F1), 15},
        {Qt::KeypadModifier | Qt::Key_End, -1},   {QKeyCombination(Qt::Key_1), -1}};
    for (const auto& [keys, picked] : rows) {
        const QKeyEvent event(QEvent::KeyPress, keys.key(), keys.keyboardModifiers());
        QVERIFY2(picked_macro(event) == picked, qPrintable(QKeySequence(keys).toString()));
    }

    if (!TncsimProcess::available()) QSKIP("tncsim is not built");
    TncsimProcess sim({"--mycall", "JA1KES", "--exit-on-hangup"});
    GuiRig rig;
    rig.start_on(sim.slave_path(), QStringLiteral("[KEY_MACRO]\r\nM=MYCALL\r\nB=BYE\r\n"));
    MainWindow& w = rig.window();

    // END, a digit that picks nothing, then SHIFT+M: MYCALL and CR reach the TNC.
    Seen seen;
    pick_with(rig, seen, {QKeyCombination(Qt::Key_1), Qt::ShiftModifier | Qt::Key_M});
    rig.key(Qt::Key_End);
    QCOMPARE(seen.title, QStringLiteral("キーマクロ送信 (A..Z ｷｰ)"));
    QVERIFY(seen.input_method_off && seen.open_before_last_key);
    QVERIFY(w.terminal_pane()->testAttribute(Qt::WA_InputMethodEnabled));
    QTRY_VERIFY_WITH_TIMEOUT(rig.terminal_text().contains(QStringLiteral("MYCALL JA1KES")), 10000);

    // ALT+C opens the chat line, where the main window's shortcuts do not act (CTRL+V
    // pastes, ALT+S opens no PC scope); Enter sends the line, which UP recalls.
    rig.key(Qt::Key_C, Qt::AltModifier);
    ChatLine* chat = w.chat_line();
    QVERIFY(chat && chat->isVisible() && w.menu_item(command::chat)->isChecked());
    QGuiApplication::clipboard()->setText(QStringLiteral("JA2ABC"));
    QTest::keyClicks(chat->field(), QStringLiteral("MYCALL "));
    QTest::keyClick(chat->field(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(chat->field()->text(), QStringLiteral("MYCALL JA2ABC"));
    QTest::keyClick(chat->field(), Qt::Key_S, Qt::AltModifier);
    QVERIFY(!w.upload().running() && !w.cluster().scope);
    QTest::keyClick(chat->field(), Qt::Key_Return);
    QVERIFY(chat->field()->text().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(rig.terminal_text().contains(QStringLiteral("MYCALL was JA1KES")),
                             10000);
    QTest::keyClick(chat->field(), Qt::Key_Up);
    QCOMPARE(chat->field()->text(), QStringLiteral("MYCALL JA2ABC"));

    // END in the chat line, and in the TALK window, appends the macro to the chat line.
    pick_with(rig, seen, {QKeyCombination(Qt::Key_B)});
    QTest::keyClick(chat->field(), Qt::Key_End);
    QCOMPARE(chat->field()->text(), QStringLiteral("MYCALL JA2ABCBYE"));
    w.dispatch(command::talk);
    chat->clear();
    QTest::keyClick(w.cluster().talk->message_field(), Qt::Key_End);
    QCOMPARE(chat->field()->text(), QStringLiteral("BYE"));
    QVERIFY(w.cluster().talk->message_field()->text().isEmpty());

    QTest::keyClick(chat->field(), Qt::Key_C, Qt::AltModifier);
    QVERIFY(!w.chat_line() && !w.menu_item(command::chat)->isChecked());

    // Editing: OK keeps a 78-character entry's first 77.
    rig.on_dialog = [&seen](QDialog& d) {
        auto& dialog = static_cast<KeyMacroDialog&>(d);
        seen.title = dialog.windowTitle();
        dialog.field(0)->setText(QString(78, QLatin1Char('x')));
        return int(QDialog::Accepted);
    };
    w.dispatch(command::key_macros);
    QCOMPARE(seen.title, QStringLiteral("キーマクロ登録"));
    QCOMPARE(rig.session().settings.key_macros[0].view(), std::string(77, 'x'));
}

QTEST_MAIN(MacroChatTest)
#include "macro_chat_test.moc"
