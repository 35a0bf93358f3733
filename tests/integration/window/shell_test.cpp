// The main window as an operator meets it: start-up, the menu state, the key table,
// typing and recall at a pseudo-terminal TNC, split view, the divider and RS-232C Cancel.

#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <atomic>
#include <thread>

#include "app/dialogs/rbbs_dialog.h"
#include "app/shell/command_ids.h"
#include "core/bbs/rbbs_commands.h"
#include "core/text/sjis.h"
#include "gui_rig.h"
#include "pty_pair.h"
#include "tncsim_process.h"

using kestrel::MessageAnswer;
using kestrel::testing::PtyPair;
using kestrel::testing::TncsimProcess;

namespace {

QString utf8(const std::string& s) { return QString::fromStdString(s); }

void fill_lines(Session& session, int count) {
    for (int i = 0; i < count; ++i) session.store.put_text("line " + std::to_string(i) + "\r");
}

// How far back the view's bottom row is: 0 the line being written.
int bottom_age(Session& session) { return session.backscroll.bottom_line_age(); }

QString rbbs_label(MainWindow& w) {
    return w.tool_bar()->findChild<QLabel*>(QStringLiteral("rbbs_label"))->text();
}

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT
private slots:
    void menus_keys_and_dialogs_without_a_port();
    void first_start_asks_for_the_port_then_captures();
    void typing_split_view_rbbs_and_rs232c_at_a_tnc();
    void chooser_from_a_worker_is_answered_or_dismissed();
    void reads_marked_messages_from_the_simulated_bbs();
};

// A start without a port, then in one run what an operator reaches from it: the settings
// dialogs, the tool bar, the copy accelerator, the key table, the menus' toggles, and a
// restart that brings back the screen and the window's place.
void ShellTest::menus_keys_and_dialogs_without_a_port() {
    GuiRig rig;
    rig.start(GuiRig::settings_text(
        {}, QStringLiteral("[PROPATY24]\r\nCALLSIGN=JA1XYZ BBS\r\n[EXT_EXEC1]\r\nNAME=\r\n"
                           "[EXT_EXEC2]\r\nNAME=PacketMail\r\n[WIN_RECT]\r\nleft=40\r\n"
                           "top=30\r\nright=840\r\nbottom=630\r\n")));
    Session& s = rig.session();
    MainWindow& w = rig.window();
    QCOMPARE(w.windowTitle(), QStringLiteral("Kestrel "));
    // The device does not exist: no port, so no status line; the minute tick runs anyway.
    QVERIFY(!s.link.port_is_open());
    QVERIFY(!w.status_timer_running());
    QVERIFY(w.minute_timer_running());
    QVERIFY(rig.terminal_text().contains(QStringLiteral("Ｋｅｓｔｒｅｌ")));

    // The input method follows the caret; a repaint that leaves it where it was is not told.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.terminal_pane()->setFocus();
    QTRY_VERIFY(w.terminal_pane()->hasFocus());
    rig.settle();
    QSignalSpy moved(QGuiApplication::inputMethod(), &QInputMethod::cursorRectangleChanged);
    const QRect caret = w.terminal_pane()->caret_rect();
    // As the receiver does: the bytes, then the cursor row's repaint.
    s.store.put_text("abc");
    s.desktop.repaint_row(kestrel::Pane::terminal, 0);
    rig.settle();
    QVERIFY(w.terminal_pane()->caret_rect() != caret);
    QVERIFY(moved.size() >= 1);
    QCOMPARE(QGuiApplication::inputMethod()->cursorRectangle().toRect().topLeft(),
             w.terminal_pane()->mapTo(&w, w.terminal_pane()->caret_rect().topLeft()));
    moved.clear();
    s.desktop.repaint_pane(kestrel::Pane::terminal, false);
    rig.settle();
    QCOMPARE(moved.size(), 0);

    // No message nor dialog at start (the counts below); like the program's other questions,
    // the save question shows no icon.
    rig.answer(MessageAnswer::no);
    w.dispatch(command::save_settings);
    QCOMPARE(rig.messages().size(), std::size_t(1));
    QVERIFY(utf8(rig.messages()[0].text).endsWith(QStringLiteral("に設定を保存しますか？")));
    QCOMPARE(rig.messages()[0].icon, kestrel::MessageIcon::none);

    // A font size of zero is refused through the desktop and the dialog stays open.
    bool stayed = false;
    rig.on_dialog = [&](QDialog& dialog) {
        click_button(&dialog, QStringLiteral("ゴシック"));
        dialog.findChild<QLineEdit*>()->setText(QStringLiteral("0"));
        click_button(&dialog, QStringLiteral("OK"));
        stayed = dialog.result() != QDialog::Accepted;
        dialog.findChild<QLineEdit*>()->setText(QStringLiteral("18"));
        click_button(&dialog, QStringLiteral("OK"));
        return dialog.result();
    };
    w.dispatch(command::font_size);
    rig.settle();
    QCOMPARE(rig.dialogs_run, 1);
    QVERIFY(stayed);
    QCOMPARE(rig.messages().size(), std::size_t(2));
    QCOMPARE(utf8(rig.messages()[1].text), QStringLiteral("文字の大きはゼロにできません"));
    QCOMPARE(utf8(rig.messages()[1].caption), QStringLiteral("Kestrel"));
    QCOMPARE(s.settings.font_type, 2);
    QCOMPARE(s.settings.log_font_y, 18);

    // Only its command hides the tool bar: Qt's own menu of bars, which a right click on the
    // tool bar or the menu bar opens, has nothing to offer, and a right click opens nothing.
    const QMenu* offered = w.createPopupMenu();  // the window's child, freed with it
    QVERIFY(!offered || offered->isEmpty());
    for (QWidget* target : std::initializer_list<QWidget*>{w.tool_bar(), w.menuBar()}) {
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(4, 4),
                                target->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(target, &click);
        QWidget* popup = QApplication::activePopupWidget();
        if (popup) popup->close();
        QVERIFY(!popup);
    }
    QVERIFY(w.tool_bar()->isVisible());
    // An external program's button shows its heading as its tip, and no tip without one.
    const auto tip = [&](int id) {
        QWidget* button = w.tool_bar()->widgetForAction(w.tool_button(id));
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(button, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tip(command::program_1), QString());
    QCOMPARE(tip(command::program_1 + 1), QStringLiteral("PacketMail"));
    QCOMPARE(tip(command::upload), QStringLiteral("ｱｯﾌﾟﾛｰﾄﾞ"));

    // Before the first opening of a menu the copy items are enabled.
    const auto select = [&] {
        s.store.with_line(1, [](kestrel::ScreenLine& l) { l.selected = 1; });
    };
    s.store.put_text("\rcopied\rnow");
    select();
    rig.key(Qt::Key_K, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("copied\n"));
    // ALT+S is the PC scope's accelerator although the 設定 menu's mnemonic is S too.
    rig.key(Qt::Key_S, Qt::AltModifier);
    QVERIFY(w.cluster().scope != nullptr);
    w.dispatch(command::pc_scope);
    s.store.clear_selection();
    w.init_menu_popup();  // no line selected: the copy items gray
    QVERIFY(!w.menu_item(command::copy_clipboard)->isEnabled());
    select();  // and stay gray until the next opening
    QGuiApplication::clipboard()->clear();
    rig.key(Qt::Key_K, Qt::ControlModifier);
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    QCOMPARE(rig.messages().size(), std::size_t(2));  // no closed-port refusal: nothing sent
    // The divider button of a grayed item still works: outside split view it enters it.
    QVERIFY(!w.menu_item(command::move_divider_up)->isEnabled());
    w.tool_button(command::move_divider_up)->trigger();
    rig.settle();
    QVERIFY(s.backscroll.split_view());
    rig.key(Qt::Key_Escape);
    s.store.clear_selection();

    // The key table: SHIFT+arrows pick the record, F keys open its dialog.
    std::vector<int> dialogs;  // the record each RBBS dialog opened on
    rig.on_dialog = [&](QDialog& dialog) {
        dialogs.push_back(qobject_cast<RbbsDialog*>(&dialog)->record());
        return int(QDialog::Rejected);
    };
    rig.key(Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(s.settings.default_fkey_no, 23);
    QCOMPARE(s.link.rbbs().current.load(), 23);
    QVERIFY(rbbs_label(w).contains(QStringLiteral("<SHIFT+ F12>  JA1XYZ BBS")));
    rig.key(Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(s.settings.default_fkey_no, 0);
    rig.key(Qt::Key_F12, Qt::ShiftModifier);
    rig.key(Qt::Key_F1, Qt::ShiftModifier | Qt::ControlModifier);
    rig.key(Qt::Key_F3);
    QCOMPARE(dialogs, (std::vector<int>{23, 12, 2}));  // SHIFT wins over CTRL
    QCOMPARE(s.settings.default_fkey_no, 0);           // Cancel puts the current record back
    rig.key(Qt::Key_F5, Qt::ControlModifier);
    QCOMPARE(s.settings.default_fkey_no, 4);
    QCOMPARE(dialogs.size(), std::size_t{3});
    // The RBBS menu labels: key name in brackets, a blank, the name, 30 bytes at most.
    w.init_menu_popup();
    QCOMPARE(w.menu_item(command::rbbs_item(23))->text(),
             QStringLiteral("<SHIFT+ F12> JA1XYZ BBS"));
    QCOMPARE(w.menu_item(command::rbbs_item(0))->text(), QStringLiteral("<F1> "));

    // Clearing the scroll buffer asks first; the toggles follow their menu items.
    fill_lines(s, 100);
    rig.settle();
    QVERIFY(!rig.terminal_text().contains(QStringLiteral("Ｋｅｓｔｒｅｌ")));
    rig.answer(MessageAnswer::no);
    w.dispatch(command::clear_scroll_buffer);
    rig.settle();
    QCOMPARE(utf8(rig.messages().back().text), QStringLiteral("スクロールバッファーを消去します"));
    QVERIFY(!rig.terminal_text().contains(QStringLiteral("Ｋｅｓｔｒｅｌ")));
    w.dispatch(command::clear_scroll_buffer);  // answered Yes
    rig.settle();
    QVERIFY(rig.terminal_text().contains(QStringLiteral("Ｋｅｓｔｒｅｌ")));
    QVERIFY(!rig.terminal_text().contains(QStringLiteral("line 99")));
    w.dispatch(command::toggle_tool_bar);
    QVERIFY(!w.tool_bar()->isVisible());
    QVERIFY(!w.menu_item(command::toggle_tool_bar)->isChecked());
    QCOMPARE(s.settings.tool_bar, 0);
    w.dispatch(command::reverse_video);
    QVERIFY(!w.menu_item(command::reverse_video)->isChecked());
    QCOMPARE(w.pane_context().colours.background, QColor(Qt::white));

    // The screen and the window's place survive a restart.
    QCOMPARE(w.geometry(), QRect(40, 30, 800, 600));
    s.store.put_text(kestrel::text::sjis("＞引用された行\rkept across a restart\r"));
    w.close();
    const QString buf = rig.settings_path().replace(QStringLiteral(".ini"), QStringLiteral(".buf"));
    QCOMPARE(QFileInfo(buf).size(), qint64(420016));
    rig.restart();
    QVERIFY(rig.terminal_text().contains(QStringLiteral("＞引用された行")));
    QVERIFY(rig.terminal_text().contains(QStringLiteral("kept across a restart")));
    QCOMPARE(rig.window().geometry(), QRect(40, 30, 800, 600));
    rig.window().move(rig.window().pos() + QPoint(15, 5));
    rig.window().close();
    QVERIFY(file_bytes(rig.settings_path())
                .contains("left=55\r\ntop=35\r\nright=855\r\nbottom=635\r\n"));
}

// A first start asks for the port and saves; then a capture from the menu: the status a
// screen reader hears, the grayed items, the refused RS-232C dialog, and a shutdown that
// closes the port before the capture.
void ShellTest::first_start_asks_for_the_port_then_captures() {
    PtyPair tnc;
    GuiRig rig;
    rig.on_dialog = [&](QDialog& dialog) {
        auto* device = dialog.findChild<QComboBox*>();
        if (device) device->setEditText(QString::fromStdString(tnc.slave_path()));
        click_button(&dialog, QStringLiteral("ＴＮＣ接続判定(DSR監視)"));  // a pty has no DSR
        dialog.accept();
        return int(QDialog::Accepted);
    };
    rig.start({});
    QCOMPARE(rig.dialogs_run, 1);
    QCOMPARE(rig.messages().size(), std::size_t(2));
    QCOMPARE(utf8(rig.messages()[0].text),
             rig.settings_path() + QStringLiteral(" 新しい INI ファイルです"));
    QCOMPARE(utf8(rig.messages()[0].caption), QStringLiteral(" "));
    QVERIFY(utf8(rig.messages()[1].text).endsWith(QStringLiteral("に設定を保存しますか？")));
    QVERIFY(QFile::exists(rig.settings_path()));
    QVERIFY(rig.session().link.port_is_open());
    QVERIFY(rig.window().status_timer_running());
    Session& s = rig.session();
    MainWindow& w = rig.window();
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&w);
    // The title takes the clock at every tick; the name, which a screen reader announces
    // when it changes, stays until the port or the capture changes.
    QTRY_VERIFY_WITH_TIMEOUT(w.windowTitle().startsWith(QStringLiteral("Kestrel  COM1:  ")), 5000);
    QCOMPARE(frame->text(QAccessible::Name), QStringLiteral("Kestrel  COM1:"));
    const QString title = w.windowTitle();
    QTRY_VERIFY_WITH_TIMEOUT(w.windowTitle() != title, 5000);
    QCOMPARE(frame->text(QAccessible::Name), QStringLiteral("Kestrel  COM1:"));

    QTemporaryDir dir;
    std::string capture = dir.filePath(QStringLiteral("log.txt")).toStdString();
    s.desktop.set_chooser_hook([&](const kestrel::FileChoice&) { return std::optional(capture); });
    const auto captured = [&] { return file_bytes(QString::fromStdString(capture)); };
    rig.key(Qt::Key_D, Qt::AltModifier);
    QVERIFY(s.capture.is_open());
    QTRY_COMPARE_WITH_TIMEOUT(frame->text(QAccessible::Name),
                              QStringLiteral("Kestrel  COM1:  D/L中 ->> log.txt"), 5000);
    QVERIFY(!w.menu_item(command::download)->isEnabled());
    QVERIFY(!w.menu_item(command::date_download)->isEnabled());
    QVERIFY(w.menu_item(command::end_download)->isEnabled());

    // Typed characters with local echo go into the capture, CR as CR LF.
    rig.type(QStringLiteral("hi"));
    rig.key(Qt::Key_Return);
    QCOMPARE(tnc.read(3), std::string("hi\r"));

    const std::size_t before = rig.messages().size();
    QVERIFY(!w.rs232c_command());
    QCOMPARE(rig.dialogs_run, 1);
    QCOMPARE(utf8(rig.messages().at(before).text),
             QStringLiteral("ﾀﾞｳﾝﾛｰﾄﾞまたはｱｯﾌﾟﾛｰﾄﾞ中にRS232C設定はできません"));
    QVERIFY(s.link.port_is_open());

    rig.key(Qt::Key_E, Qt::AltModifier);
    QVERIFY(!s.capture.is_open());
    QVERIFY(w.menu_item(command::download)->isEnabled());
    QVERIFY(!w.menu_item(command::end_download)->isEnabled());
    QVERIFY(captured().contains("hi\r\n"));

    capture = dir.filePath(QStringLiteral("bye.txt")).toStdString();
    rig.key(Qt::Key_D, Qt::AltModifier);
    rig.type(QStringLiteral("bye"));
    rig.key(Qt::Key_Return);
    QCOMPARE(tnc.read(4), std::string("bye\r"));
    w.close();
    QVERIFY(!s.link.port_is_open());
    QVERIFY(!s.capture.is_open());
    QVERIFY(captured().contains("bye\r\n"));
}

// At a pseudo-terminal TNC in one run: typing and recall, split view with its scrolling,
// selection and divider, the RBBS dialog's sending buttons, and RS-232C Cancel.
void ShellTest::typing_split_view_rbbs_and_rs232c_at_a_tnc() {
    PtyPair tnc;
    GuiRig rig;
    rig.start_on(tnc.slave_path(),
                 QStringLiteral("[PROPATY2]\r\nCOMMAND=C JA1BBS\\n\r\nUNPROTO=CQ\r\n"));
    Session& s = rig.session();
    MainWindow& w = rig.window();
    QWidget* pane = w.terminal_pane();
    rig.type(QStringLiteral("ab"));
    rig.key(Qt::Key_Return);
    rig.type(QStringLiteral("cd"));
    rig.key(Qt::Key_Return);
    QCOMPARE(tnc.read(6), std::string("ab\rcd\r"));
    QVERIFY(rig.terminal_text().contains(QStringLiteral("cd")));
    rig.key(Qt::Key_Up);
    rig.key(Qt::Key_Up);
    QCOMPARE(w.terminal_pane()->recalled_overlay(), std::string("ab"));

    // A menu opens and closes: focus goes to the popup and back, and the recall stays.
    QFocusEvent popup_out(QEvent::FocusOut, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(pane, &popup_out);
    QFocusEvent popup_in(QEvent::FocusIn, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(pane, &popup_in);
    rig.settle();
    QCOMPARE(w.terminal_pane()->recalled_overlay(), std::string("ab"));
    rig.key(Qt::Key_Return);
    QCOMPARE(tnc.read(3), std::string("ab\r"));

    // A real focus change resets it.
    rig.key(Qt::Key_Up);
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(pane, &away);
    rig.settle();
    QCOMPARE(s.history.recall_index(), 0);

    // Ctrl+C is how an operator gets the TNC back to command mode; the input method's text
    // goes out in CP932, byte by byte.
    rig.key(Qt::Key_C, Qt::ControlModifier);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("あ"));
    QCoreApplication::sendEvent(pane, &commit);
    rig.settle();
    QCOMPARE(tnc.read(3), "\x03" + kestrel::text::sjis("あ"));

    // Split view: PAGE UP enters it, the arrows and the wheel scroll and select, ESC leaves.
    fill_lines(s, 300);
    rig.settle();
    rig.key(Qt::Key_PageDown);  // outside split view: nothing
    QVERIFY(!s.backscroll.split_view());

    rig.key(Qt::Key_PageUp);
    QVERIFY(s.backscroll.split_view());
    QVERIFY(!w.menu_item(command::backscroll)->isEnabled());
    for (int id : {command::leave_split, command::move_divider_up, command::move_divider_down}) {
        QVERIFY(w.menu_item(id)->isEnabled());
    }
    QCOMPARE(bottom_age(s), 0);
    const int rows = s.settings.kyokai;
    QCOMPARE(s.backscroll.rows(), rows);
    QCOMPARE(s.backscroll.cursor_row(), rows - 1);
    rig.key(Qt::Key_PageUp);
    QCOMPARE(bottom_age(s), rows / 2);

    rig.key(Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(s.store.count_selected(), 1);
    QCOMPARE(bottom_age(s), rows / 2 + 1);  // the cursor was on the top row
    QCOMPARE(w.backscroll_pane()->scroll_bar()->value(),
             kestrel::Backscroll::thumb_range - rows / 2 - 1);
    QVERIFY(w.backscroll_pane()->accessible_text().contains(QStringLiteral("line ")));
    rig.key(Qt::Key_Up);
    QCOMPARE(s.store.count_selected(), 0);

    // The wheel over either pane or the bar moves like the arrows, never as a thumb track.
    auto spin = [&](QWidget* target, int delta) {
        for (int i = 0; i < rows + 2; ++i) {
            QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            wheel.setAccepted(false);
            QCoreApplication::sendEvent(target, &wheel);
            QVERIFY(wheel.isAccepted());
        }
        rig.settle();
    };
    for (QWidget* target : std::initializer_list<QWidget*>{w.terminal_pane(), w.backscroll_pane(),
                                                           w.backscroll_pane()->scroll_bar()}) {
        const int before = bottom_age(s);
        spin(target, 120);
        QVERIFY(bottom_age(s) > before);
        QCOMPARE(w.backscroll_pane()->scroll_bar()->value(), s.backscroll.thumb());
    }
    const int deepest = bottom_age(s);
    spin(w.terminal_pane(), -120);
    QVERIFY(bottom_age(s) < deepest);

    // The divider stays within its limits: one back-scroll row, two terminal rows.
    for (int i = 0; i < 30; ++i) rig.key(Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(s.settings.kyokai, 1);
    for (int i = 0; i < 100; ++i) rig.key(Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(s.store.terminal_rows(), 2);
    QCOMPARE(s.backscroll.rows(), s.settings.kyokai);

    // A window too small for the stored count: the count stays, the pane shows what fits and
    // leaves the terminal two rows; a taller window shows them all again.
    const int stored = s.settings.kyokai;
    const QSize full = w.size();
    w.resize(640, 240);
    rig.settle();
    const int ch = w.pane_context().painter.cells().height;
    const int fit = (w.centralWidget()->height() - 5 - 2 * ch) / ch;
    QVERIFY2(fit >= 1 && fit < stored, qPrintable(QString::number(fit)));
    QCOMPARE(s.settings.kyokai, stored);
    QCOMPARE(w.backscroll_pane()->height(), fit * ch + 2);
    QVERIFY(w.terminal_pane()->height() >= 2 * ch);
    QCOMPARE(s.backscroll.rows(), fit);
    QVERIFY(s.backscroll.cursor_row() < fit);
    QVERIFY(s.store.terminal_rows() >= 2);
    QVERIFY((fit - 1) * ch + w.backscroll_pane()->margin() + ch <= w.backscroll_pane()->height());
    w.resize(full);
    rig.settle();
    QCOMPARE(s.backscroll.rows(), stored);
    QCOMPARE(w.backscroll_pane()->height(), stored * ch + 2);
    // Shrunk again, the divider moves up from the rows shown, not from the stored count.
    w.resize(640, 240);
    rig.settle();
    rig.key(Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(s.settings.kyokai, std::max(fit - 1, 1));

    rig.key(Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(s.store.count_selected(), 1);
    rig.key(Qt::Key_Escape);  // never sent: it leaves split view
    QVERIFY(!s.backscroll.split_view());
    QVERIFY(!w.backscroll_pane()->isVisible());
    QVERIFY(w.menu_item(command::backscroll)->isEnabled());
    QVERIFY(!w.menu_item(command::leave_split)->isEnabled());
    QCOMPARE(s.store.count_selected(), 0);
    const int kyokai = s.settings.kyokai;
    rig.key(Qt::Key_Up, Qt::ControlModifier);  // outside split view: nothing
    QCOMPARE(s.settings.kyokai, kyokai);
    QVERIFY(!s.backscroll.split_view());
    QCOMPARE(tnc.read(1, 1000), std::string());

    // The RBBS dialog's sending buttons close it and start their command on the record it
    // closed on; the toolbar label and the RBBS menu follow the name edited there.
    QString button = QStringLiteral("送信(SHIFT+↑)");
    rig.on_dialog = [&](QDialog& dialog) {
        for (auto* field : dialog.findChildren<QLineEdit*>()) {
            if (field->accessibleName() == QStringLiteral("ＲＢＢＳ名")) field->setText("JA1BBS");
        }
        click_button(&dialog, button);
        return dialog.result();
    };
    rig.key(Qt::Key_F2);
    QCOMPARE(tnc.read(9), std::string("C JA1BBS\r"));
    QCOMPARE(s.link.rbbs().current.load(), 1);
    QVERIFY(rbbs_label(w).contains(QStringLiteral("<F2>  JA1BBS")));
    QCOMPARE(w.menu_item(command::rbbs_item(1))->text(), QStringLiteral("<F2> JA1BBS"));
    button = QStringLiteral("ＵＮＰＲＯＴＯ 送信");
    w.dispatch(command::rbbs_item(1));
    QCOMPARE(tnc.read(5), std::string("CQ\rK\r"));
    QVERIFY(rig.messages().empty());

    // RS-232C Cancel puts the settings back and opens the port again.
    const kestrel::PortSettings before = s.settings.port;
    bool saw_closed_port = false;
    rig.on_dialog = [&](QDialog& dialog) {
        saw_closed_port = !s.link.port_is_open();
        click_button(&dialog, QStringLiteral("1200"));
        click_button(&dialog, QStringLiteral("COM3:"));
        dialog.reject();
        return int(QDialog::Rejected);
    };
    QVERIFY(!w.rs232c_command());
    QVERIFY(saw_closed_port);
    QVERIFY(s.settings.port == before);
    QVERIFY(s.link.port_is_open());
    QVERIFY(w.status_timer_running());
    // SIGTERM arrives while the dialog is open: the window closes under it, the port stays shut.
    rig.on_dialog = [&](QDialog& dialog) {
        w.close();
        dialog.accept();
        return int(QDialog::Accepted);
    };
    const int dialogs = rig.dialogs_run + 1;
    w.rs232c_command();
    QCOMPARE(rig.dialogs_run, dialogs);
    QVERIFY(!s.link.port_is_open());
    // And once shut down, the command does not even ask.
    QVERIFY(!w.rs232c_command());
    QCOMPARE(rig.dialogs_run, dialogs);
}

// A file chooser asked for from a worker thread: answered on the GUI thread, or, dismissed
// while the GUI thread joins the worker, answered "cancelled" at once.
void ShellTest::chooser_from_a_worker_is_answered_or_dismissed() {
    QtDesktop desktop;
    std::atomic<int> shown{0};
    desktop.set_chooser_hook([&](const kestrel::FileChoice& choice) {
        ++shown;
        return std::optional<std::string>(choice.suggested_name + ".txt");
    });
    kestrel::FileChoice choice;
    choice.suggested_name = "capture";
    std::optional<std::string> answer;
    // Asks from a worker; the GUI thread runs its events until it is answered, or, as the
    // link joins its receiver at close, joins it without running them.
    const auto ask = [&](bool run_events) {
        answer = "not asked";
        std::atomic<bool> done{false};
        std::thread asker([&] {
            answer = desktop.choose_file(choice);
            done = true;
        });
        if (run_events) QTRY_VERIFY_WITH_TIMEOUT(done.load(), 10000);
        asker.join();
    };
    ask(true);
    QCOMPARE(shown.load(), 1);
    QCOMPARE(answer, std::optional<std::string>("capture.txt"));

    // Dismissed: never shown.
    desktop.dismiss_background_messages(true);
    ask(false);
    desktop.dismiss_background_messages(false);
    QCoreApplication::processEvents();
    QVERIFY(!answer.has_value());
    QCOMPARE(shown.load(), 1);

    // Dismissed while the worker waits on a shown chooser: freed with "cancelled", whatever
    // the chooser answers afterwards.
    desktop.set_chooser_hook([&](const kestrel::FileChoice&) {
        ++shown;
        desktop.dismiss_background_messages(true);
        return std::optional<std::string>("too late");
    });
    ask(true);
    desktop.dismiss_background_messages(false);
    QCOMPARE(shown.load(), 2);
    QVERIFY(!answer.has_value());
}

// Connect, list, mark three lines with LEFT in split view, Enter types the read command,
// the next Enter sends it, and the framed messages land in the dated file.
void ShellTest::reads_marked_messages_from_the_simulated_bbs() {
    if (!TncsimProcess::available()) QSKIP("tncsim is not built");
    // Where tncsim's list puts the numbers, the RBBS record, CTRL+F-key or else SHIFT+RIGHT
    // then SHIFT+UP, the sort, the separator as stored ("0" is a blank), the read command.
    const std::tuple<std::string, int, bool, int, QString, QString> rows[] = {
        {"right", 2, true, 1, ",", "R 5,12,30"}, {"left", 1, false, 2, "0", "R 30 12 5"}};
    for (const auto& [layout, record, function_key, sort, separator, command] : rows) {
        TncsimProcess sim({"--mycall", "JA1KES", "--dx-interval", "0", "--exit-on-hangup",
                           "--no-echo", "--messages", "40", "--list-layout", layout});
        QTemporaryDir downloads;
        GuiRig rig;
        rig.start_on(
            sim.slave_path(),
            QStringLiteral("[DIR]\r\nDL_DIR=%1\r\n[PROPATY%2]\r\n"
                           "COMMAND=C JA1BBS\\n\r\nSORT=%3\r\nSEPARATER=%4\r\nEXTENTION=txt\r\n"
                           "DL_START_STR=Msg#\r\nDL_END_STR=[End of message]\r\n"
                           "DL_START_STR_VALID=1\r\nDL_END_STR_VALID=1\r\n")
                .arg(downloads.path(), QString::number(record + 1), QString::number(sort),
                     separator));
        Session& s = rig.session();
        const auto age_of = [&](int number) {
            for (int age = 0; age < 200; ++age) {
                if (kestrel::message_number(s.store.line_text(age)) == number) return age;
            }
            return -1;
        };
        const auto kind_at = [&](int age) {
            int kind = -1;
            s.store.with_line(age, [&](kestrel::ScreenLine& line) { kind = line.kind; });
            return kind;
        };

        if (function_key) {
            rig.key(Qt::Key(Qt::Key_F1 + record), Qt::ControlModifier);
        } else {
            for (int i = 0; i < record; ++i) rig.key(Qt::Key_Right, Qt::ShiftModifier);
            rig.key(Qt::Key_Up, Qt::ShiftModifier);
        }
        QCOMPARE(s.settings.default_fkey_no, record);
        QTRY_VERIFY_WITH_TIMEOUT(s.store.line_text(1) == "JA1BBS>", 10000);
        rig.type(QStringLiteral("L"));
        rig.key(Qt::Key_Return);
        // A quick board's list can arrive before the local echo of Enter has moved the
        // cursor on: that echo then leaves an empty line under the prompt.
        const auto prompt_ends_the_list = [&] {
            const int at = s.store.line_text(1).empty() ? 2 : 1;
            return age_of(1) > at && s.store.line_text(at) == "JA1BBS>";
        };
        QTRY_VERIFY_WITH_TIMEOUT(prompt_ends_the_list(), 30000);

        rig.key(Qt::Key_PageUp);
        QVERIFY(s.backscroll.split_view());
        const int numbers[] = {30, 12, 5};
        for (int number : numbers) {
            const int age = age_of(number);
            for (int i = 0; i < 200 && s.backscroll.cursor_line_age() != age; ++i) {
                rig.key(s.backscroll.cursor_line_age() < age ? Qt::Key_Up : Qt::Key_Down);
            }
            rig.key(Qt::Key_Left);
            QCOMPARE(kind_at(age), int(kestrel::line_marked));
            QCOMPARE(s.backscroll.cursor_line_age(), age - 1);
        }

        rig.key(Qt::Key_Return);  // types the read command, shown by the local echo, and no CR
        QCOMPARE(QString::fromStdString(s.store.line_text(0)), command);
        QCOMPARE(QString::fromLatin1(s.history.slot(0)), command);
        for (int number : numbers)
            QCOMPARE(kind_at(age_of(number)), int(kestrel::line_read_requested));

        rig.key(Qt::Key_Return);  // no line is marked now: an ordinary Enter
        const auto dated_file = [&] {
            return QString::fromLatin1(file_bytes(
                downloads.filePath(QDate::currentDate().toString(QStringLiteral("yyMMdd.txt")))));
        };
        QTRY_VERIFY_WITH_TIMEOUT(
            !s.capture.is_open() && dated_file().count(QStringLiteral("[End of message]")) == 3,
            15000);
        const QString text = dated_file();
        QStringList read;
        for (const auto& m : QRegularExpression(QStringLiteral("^Msg# (\\d+) "),
                                                QRegularExpression::MultilineOption)
                                 .globalMatch(text)) {
            read << m.captured(1);
        }
        QCOMPARE(read, command.mid(2).split(QRegularExpression(QStringLiteral("[, ]"))));
        QVERIFY(text.startsWith(QStringLiteral("Msg#")));
        QVERIFY(rig.messages().empty());
    }
}

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
