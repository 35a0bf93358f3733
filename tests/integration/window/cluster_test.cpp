// The PC scope and TALK windows driven as the operator drives them, fed by tncsim's cluster
// or a pseudo-terminal, with the spots' clock in the test's hand.

#include <QAccessible>
#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSpinBox>
#include <QTest>
#include <QTimeZone>
#include <atomic>
#include <cstdio>

#include "app/dialogs/cluster_options_dialog.h"
#include "app/dialogs/watch_list_dialog.h"
#include "app/scope/hand_entry_dialog.h"
#include "app/scope/pc_scope_window.h"
#include "app/shell/command_ids.h"
#include "app/talk/talk_window.h"
#include "core/text/sjis.h"
#include "gui_rig.h"
#include "pty_pair.h"
#include "tncsim_process.h"

using kestrel::testing::PtyPair;
using kestrel::testing::TncsimProcess;

namespace {

// A "DX de " announcement with its decimal point in column 23, 76 characters.
std::string dx_line(const char* frequency, const char* call, const char* time = "1234Z") {
    char line[128];
    std::snprintf(line, sizeof line, "DX de %-10s %8s  %-11s  %-30s %5s\r", "JA1SP:", frequency,
                  call, "CQ", time);
    return line;
}

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

QString selected(const QListWidget* list) {
    const auto items = list->selectedItems();
    return items.size() == 1 ? items.front()->text() : QString();
}

// The band test on a shown line's frequency.
bool line_in_band(const QString& line, int band) {
    kestrel::Spot spot;
    spot.frequency.assign(line.left(8).toStdString());
    return kestrel::in_band(spot, band);
}

QString utc_hhmm(std::time_t t) {
    return QDateTime::fromSecsSinceEpoch(t, QTimeZone::utc()).toString(QStringLiteral("hhmm'Z'"));
}

QByteArray ini(const GuiRig& rig) { return file_bytes(rig.settings_path()); }

// Connects to tncsim's cluster from the terminal pane.
void connect_cluster(GuiRig& rig) {
    rig.key(Qt::Key_C, Qt::ControlModifier);
    rig.type(QStringLiteral("C JA1DX"));
    rig.key(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(rig.terminal_text().contains(QStringLiteral("JA1DX >")), 10000);
}

}  // namespace

class ClusterTest : public QObject {
    Q_OBJECT
private slots:
    void scope_follows_the_simulated_cluster();
    void scope_buttons_selectors_and_closing();
    void talks_through_the_simulated_cluster();
};

// The scope fed by tncsim's cluster: ordered lines, the newest selected, a band's spots, the
// ages following the clock; and the watch list set in the packet-cluster options lighting up
// the watched calls, one bell each.
void ClusterTest::scope_follows_the_simulated_cluster() {
    if (!TncsimProcess::available()) QSKIP("tncsim is not built");
    TncsimProcess sim({"--mycall", "JA1KES", "--dx-interval", "0.05", "--exit-on-hangup"});
    GuiRig rig;
    rig.start_on(sim.slave_path(), QStringLiteral("[RS232C]\r\nLOCAL_ECHO=0\r\n"));
    MainWindow& w = rig.window();
    // Options, then its list editor: two entries typed at once, in capitals.
    rig.on_dialog = [](QDialog& dialog) {
        if (auto* editor = qobject_cast<WatchListDialog*>(&dialog)) {
            QTest::keyClicks(editor->entry_field(), QStringLiteral("vk9*, k1abc"));
            click_button(editor, QStringLiteral("追加"));
        } else {
            click_button(&dialog, QStringLiteral("ｳｫｯﾁﾘｽﾄ..."));
        }
        dialog.accept();
        return int(QDialog::Accepted);
    };
    w.dispatch(command::cluster_options);
    QCOMPARE(rig.session().settings.watch_list.view(), "VK9* K1ABC");
    w.dispatch(command::save_settings);
    QVERIFY(ini(rig).contains("CALLS=VK9* K1ABC"));
    std::atomic<std::time_t> now{kestrel::system_now()};
    w.cluster().clock = [&now] { return now.load(); };
    w.dispatch(command::pc_scope);
    PcScopeWindow* scope = w.cluster().scope;
    QVERIFY(scope && scope->isVisible() && w.menu_item(command::pc_scope)->isChecked());
    const QListWidget* list = scope->spot_list();
    int bells = 0;
    scope->bell = [&bells] { ++bells; };

    connect_cluster(rig);
    QTRY_VERIFY_WITH_TIMEOUT(scope->windowTitle().contains(QStringLiteral("SFI=")), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(list->count() >= 10 && bells >= 2, 30000);
    // Announcements stop with the link; every line before "73" has been parsed.
    rig.type(QStringLiteral("BYE"));
    rig.key(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(rig.terminal_text().contains(QStringLiteral("73 de JA1DX")), 10000);
    rig.settle();

    QVERIFY(scope->windowTitle().startsWith(QStringLiteral("PcScope ") + utc_hhmm(now) +
                                            QStringLiteral(" SFI=")));
    const QStringList lines = texts(list);
    for (int i = 0; i < lines.size(); ++i) {
        QVERIFY2(lines[i].contains(QStringLiteral(" [ 0] ")), qPrintable(lines[i]));
        if (i > 0) QVERIFY(lines[i - 1].left(8) <= lines[i].left(8));  // right-aligned kHz
    }
    const kestrel::SpotList held = w.cluster().spots.snapshot();
    auto newest = std::ranges::find_if(held.spots(), [](auto& s) { return s.newest == 1; });
    QVERIFY(newest != held.spots().end());
    QVERIFY(selected(list).startsWith(QString::fromLatin1(newest->frequency.view())));
    QVERIFY(selected(list).contains(QString::fromLatin1(newest->callsign.view())));

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
    for (const QListWidgetItem* item : list->findItems(QString(), Qt::MatchContains)) {
        QCOMPARE(item->background().color() == QColor(255, 255, 0), watched(item->text()));
    }
    QVERIFY(watched(list->accessibleDescription()));

    // A band shows only its spots, and the newest is selected only when it is among them.
    int band = 1;
    while (band < 11 && !line_in_band(lines.front(), band)) ++band;
    scope->band_selector()->setValue(band);
    QVERIFY(list->count() >= 1 && list->count() <= lines.size());
    for (const QString& line : texts(list)) QVERIFY2(line_in_band(line, band), qPrintable(line));
    QCOMPARE(selected(list).isEmpty(), !kestrel::in_band(*newest, band));
    scope->band_selector()->setValue(0);

    // Half an hour on the ages show 30 and the title the new time; past an hour they are gone.
    now += 30 * 60;
    w.minute_tick();
    QCOMPARE(list->count(), lines.size());
    QVERIFY(list->item(0)->text().contains(QStringLiteral(" [30] ")));
    QVERIFY(scope->windowTitle().startsWith(QStringLiteral("PcScope ") + utc_hhmm(now)));
    now += 30 * 60 + 1;
    w.minute_tick();
    QCOMPARE(list->count(), 0);
    QCOMPARE(w.cluster().spots.snapshot().count(), 0);
}

void ClusterTest::scope_buttons_selectors_and_closing() {
    PtyPair tnc;
    GuiRig rig;
    rig.start_on(tnc.slave_path());
    MainWindow& w = rig.window();
    const std::time_t now = 1204677000;  // 2008-03-05 00:30 UTC
    w.cluster().clock = [now] { return now; };
    rig.key(Qt::Key_S, Qt::AltModifier);
    PcScopeWindow* scope = w.cluster().scope;
    QVERIFY(scope && !scope->small_layout());
    QListWidget* list = scope->spot_list();
    kestrel::SpotBoard& board = w.cluster().spots;
    board.parse_spot_line(dx_line("14005.2", "JA1BBB"), now);
    board.parse_spot_line(dx_line("7005.0", "JA1AAA"), now);

    // The selectors stop at both ends.
    QSpinBox* band = scope->band_selector();
    QSpinBox* minutes = scope->minutes_selector();
    const std::tuple<QSpinBox*, int, int, QString> stops[] = {
        {band, 0, -1, QStringLiteral("ALL")},
        {band, 11, 1, QStringLiteral("144MHz以上")},
        {minutes, 1, -1, QStringLiteral("1分")},
        {minutes, 60, 1, QStringLiteral("60分")}};
    for (const auto& [box, end, step, text] : stops) {
        box->setValue(end);
        box->stepBy(step);
        QCOMPARE(box->text(), text);
    }

    // "消す" removes the spot shown on the line, not the one in the same slot of the table.
    band->setValue(5);
    QCOMPARE(band->text(), QStringLiteral("14MHz"));
    QCOMPARE(list->count(), 1);  // the filter follows the selector
    list->setCurrentRow(0);
    auto click = [&](const QString& text) {
        click_button(scope, text);
        rig.settle();
    };
    click(QStringLiteral("消す"));
    QCOMPARE(board.snapshot().count(), 1);
    QCOMPARE(board.snapshot()[0].callsign.view().substr(0, 6), std::string_view("JA1AAA"));
    // "全部消す" asks first; No keeps the spots.
    QStringList asked;
    for (int answer : {int(QMessageBox::No), int(QMessageBox::Yes)}) {
        rig.on_dialog = [&](QDialog& d) {
            auto& box = static_cast<QMessageBox&>(d);
            asked << box.windowTitle() + QLatin1Char('|') + box.text();
            return answer;
        };
        click(QStringLiteral("全部消す"));
        QCOMPARE(board.snapshot().count(), answer == QMessageBox::No ? 1 : 0);
    }
    QCOMPARE(asked, QStringList(2, QStringLiteral("ＰＣ スコープ|レポートを全て消します")));

    // "追加": the spot typed by hand, at the UTC time of now.
    band->setValue(0);
    rig.on_dialog = [](QDialog& d) {
        const QString values[][2] = {{"MHz", "7"},
                                     {"KHz", "005"},
                                     {"100Hz", "0"},
                                     {"Callsign", "ja1xyz"},
                                     {"Remarks", "hand"}};
        for (const auto& [name, value] : values) {
            for (QLineEdit* e : d.findChildren<QLineEdit*>()) {
                if (e->accessibleName() == name) QTest::keyClicks(e, value);
            }
        }
        return int(QDialog::Accepted);
    };
    click(QStringLiteral("追加"));
    QCOMPARE(texts(list), QStringList{QStringLiteral("  7005.0 [ 0] 0030Z JA1XYZ  hand<>")});
    QCOMPARE(selected(list), list->item(0)->text());

    // ALT+S in the window closes it and stores its place; reopened, it comes back there with
    // the band it had. "閉じる" closes it the same way.
    band->setValue(7);
    scope->setGeometry(40, 50, 500, 300);
    scope->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(scope));
    QTest::keyClick(list, Qt::Key_S, Qt::AltModifier);
    rig.settle();
    QVERIFY(!w.cluster().scope);
    QVERIFY(!w.menu_item(command::pc_scope)->isChecked());
    QVERIFY(ini(rig).contains("[SCOPE_RECT]\r\nLEFT=40\r\nTOP=50\r\nRIGHT=540\r\n"));
    w.dispatch(command::pc_scope);
    QCOMPARE(w.cluster().scope->geometry(), QRect(40, 50, 500, 300));
    QCOMPARE(w.cluster().scope->band_selector()->text(), QStringLiteral("21MHz"));
    scope = w.cluster().scope;
    click(QStringLiteral("閉じる"));
    QVERIFY(!w.cluster().scope);

    // The small layout: the Japanese gothic font at 8 points, no maximize box.
    rig.session().settings.small_pc_scope = 1;
    w.dispatch(command::pc_scope);
    scope = w.cluster().scope;
    QVERIFY(scope->small_layout());
    QCOMPARE(scope->font().pointSize(), 8);
    QVERIFY(!(scope->windowFlags() & Qt::WindowMaximizeButtonHint));

    // 500 lines in one write: the window ends with the 100 the list holds, the last one newest.
    std::string burst;
    for (int i = 0; i < 500; ++i) {
        char frequency[16], call[16];
        std::snprintf(frequency, sizeof frequency, "%d.%d", 14000 + i, i % 10);
        std::snprintf(call, sizeof call, "JA%dB", i);
        burst += dx_line(frequency, call) + "\n";
    }
    scope->band_selector()->setValue(0);
    tnc.write(burst);
    list = scope->spot_list();
    QTRY_VERIFY_WITH_TIMEOUT(selected(list).contains(QStringLiteral("JA499B ")), 20000);
    QCOMPARE(list->count(), 100);
    // A screen reader reads the lines as the list's items.
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(list);
    QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("スポット"));
    QCOMPARE(reader->child(99)->text(QAccessible::Name), list->item(99)->text());

    // Open at exit: its place is stored all the same.
    scope->setGeometry(60, 70, 300, 200);
    w.close();
    QVERIFY(ini(rig).contains("[SCOPE_RECT]\r\nLEFT=60\r\nTOP=70\r\nRIGHT=360\r\n"));
}

void ClusterTest::talks_through_the_simulated_cluster() {
    if (!TncsimProcess::available()) QSKIP("tncsim is not built");
    // The TNC does not echo: the terminal shows the program's own echo alone.
    TncsimProcess sim(
        {"--mycall", "JA1KES", "--dx-interval", "0", "--no-echo", "--exit-on-hangup"});
    GuiRig rig;
    rig.start_on(sim.slave_path());
    MainWindow& w = rig.window();
    connect_cluster(rig);
    rig.key(Qt::Key_T, Qt::AltModifier);
    TalkWindow* talk = w.cluster().talk;
    QVERIFY(talk && talk->isVisible() && w.menu_item(command::talk)->isChecked());

    // The three refusals, in the order they are tested.
    const std::tuple<const char*, const char*, QString> refusals[] = {
        {"", "", QStringLiteral("本文を入れて下さい")},
        {"JA1ABC", "a ?x-sjis?B? b", QStringLiteral("BASE64ﾍｯﾀﾞｰと同じ文字列は送信できません")},
        {"", "hello", QStringLiteral("相手のコールサインを入れて下さい")},
    };
    for (const auto& [partner, message, text] : refusals) {
        QString shown;
        rig.on_dialog = [&](QDialog& d) {
            shown = d.windowTitle() + QLatin1Char('|') + static_cast<QMessageBox&>(d).text();
            return int(QMessageBox::Ok);
        };
        talk->callsign_field()->setText(QString::fromUtf8(partner));
        talk->message_field()->setText(QString::fromUtf8(message));
        QTest::keyClick(talk->message_field(), Qt::Key_Return);
        QCOMPARE(shown, QStringLiteral("Kestrel|") + text);
        QCOMPARE(talk->message_field()->text(), QString::fromUtf8(message));
    }

    // Coded on the way out, decoded in the list: the operator's echo and the answer.
    talk->callsign_field()->clear();
    QTest::keyClicks(talk->callsign_field(), QStringLiteral("ja1abc"));
    QCOMPARE(talk->callsign_field()->text(), QStringLiteral("JA1ABC"));
    talk->base64_box()->setChecked(true);
    talk->message_field()->setText(QStringLiteral("こんにちは"));
    QTest::keyClick(talk->message_field(), Qt::Key_Return);
    QVERIFY(talk->message_field()->text().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(
        texts(talk->talk_list()).contains(QStringLiteral("JA1KES de JA1ABC: こんにちは")), 10000);
    QCOMPARE(texts(talk->talk_list()),
             (QStringList{QStringLiteral("TALK JA1ABC こんにちは"),
                          QStringLiteral("JA1KES de JA1ABC: こんにちは")}));
    QVERIFY(talk->talk_list()->selectedItems().isEmpty());
    QVERIFY(rig.terminal_text().contains(QStringLiteral("TALK JA1ABC ?x-sjis?B?grGC8YLJgr+CzQ==")));
    QTest::keyClick(talk->message_field(), Qt::Key_Up);
    QCOMPARE(talk->message_field()->text(), QStringLiteral("こんにちは"));

    // ALT+T in a field closes it; the partner, both boxes and the place come back, the
    // list starts empty.
    talk->setGeometry(30, 40, 600, 400);
    talk->filter_box()->setChecked(false);
    QTest::keyClick(talk->message_field(), Qt::Key_T, Qt::AltModifier);
    rig.settle();
    QVERIFY(!w.cluster().talk);
    QVERIFY(!w.menu_item(command::talk)->isChecked());
    QVERIFY(ini(rig).contains("[TALK_ENV]\r\nCALL_SIGN=JA1ABC\r\n"));
    w.dispatch(command::talk);
    talk = w.cluster().talk;
    QCOMPARE(talk->callsign_field()->text(), QStringLiteral("JA1ABC"));
    QVERIFY(talk->base64_box()->isChecked());
    QVERIFY(!talk->filter_box()->isChecked());
    QCOMPARE(talk->geometry(), QRect(30, 40, 600, 400));
    QCOMPARE(talk->talk_list()->count(), 0);

    // Open at exit: the callsign in the field is stored.
    talk->callsign_field()->setText(QStringLiteral("JA2XYZ"));
    w.close();
    QVERIFY(ini(rig).contains("[TALK_ENV]\r\nCALL_SIGN=JA2XYZ\r\n"));
}

QTEST_MAIN(ClusterTest)
#include "cluster_test.moc"
