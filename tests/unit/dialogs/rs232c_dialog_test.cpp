// The RS-232C dialog: every group shows and writes its field at once, OK alone reads the
// wait and the DSR box, and the device field edits the selected port's device.
#include "app/dialogs/rs232c_dialog.h"
#include "dialog_driver.h"

using kestrel::PortSettings;
using kestrel::app::Rs232cDialog;
using kestrel::testing::named;
using Devices = std::array<kestrel::FixedText<256>, 8>;

static const PortSettings unusual{3, 4800, 7, 2, 1, 1, 0, 1, 1, 42, 0};

static Devices devices() {
    Devices d;
    for (int i = 0; i < 8; ++i) d[i].assign("/dev/ttyUSB" + std::to_string(i));
    return d;
}

// The labels repeat between groups ("無", "有"), so buttons are found by group.
static QList<QRadioButton*> group(QDialog& d, const char* title) {
    return named<QGroupBox>(d, title)->findChildren<QRadioButton*>();
}

static QString checked_in(QDialog& d, const char* title) {
    for (auto* b : group(d, title))
        if (b->isChecked()) return b->text();
    return {};
}

// The device field shows the selected port's device and edits only that one.
TEST(Rs232cDialog, EveryGroupShowsAndWritesItsFieldAndTheDeviceFollowsThePort) {
    Rs232cDialog d(unusual, devices());
    auto* device = d.findChild<QComboBox*>();
    EXPECT_EQ(device->currentText(), "/dev/ttyUSB2");
    EXPECT_EQ(device->accessibleName(), "COM3: のデバイス");
    group(d, "Comﾎﾟｰﾄ")[1]->click();
    EXPECT_EQ(device->currentText(), "/dev/ttyUSB1");
    device->setEditText("/tmp/kestrel-demo-tnc");
    auto* label = d.findChild<QLabel*>("device_label_2");  // beside COM2:
    EXPECT_EQ(label->accessibleName(), "COM2: のデバイス /tmp/kestrel-demo-tnc");
    const char* rows[][3] = {{"Comﾎﾟｰﾄ", "COM2:", "COM8:"},
                             {"ﾎﾞｰﾚｰﾄ", "4800", "38400"},
                             {"ﾋﾞｯﾄ長", "7BIT", "8BIT"},
                             {"ｽﾄｯﾌﾟﾋﾞｯﾄ", "2 bit", "1.5 bit"},
                             {"パリティー", "奇数", "偶数"},
                             {"ローカルエコー", "無", "有"},
                             {"フロー制御", "ﾊｰﾄﾞ(CTS/RTS)", "ﾊｰﾄﾞ(CTS/DTR)"},
                             {"送信 LF付加", "有", "無"}};
    for (const auto& [title, shown, clicked] : rows) {
        SCOPED_TRACE(title);
        EXPECT_EQ(checked_in(d, title), shown);
        for (auto* b : group(d, title))
            if (b->text() == clicked) b->click();
    }
    EXPECT_EQ(device->currentText(), "/dev/ttyUSB7");
    d.accept();
    EXPECT_EQ(d.port_settings(), (PortSettings{8, 38400, 8, 1, 2, 2, 1, 0, 1, 42, 0}));
    Devices want = devices();
    want[1].assign("/tmp/kestrel-demo-tnc");
    EXPECT_EQ(d.port_devices(), want);
}

// OK alone reads the wait and the DSR box. Typing takes two digits, but a wider wait from
// the file is kept unless edited; a baud rate with no button selects nothing and stays.
TEST(Rs232cDialog, OkAloneReadsWaitAndBoxAndUnlistedValuesStay) {
    // Typed into the wait field unless null.
    const std::tuple<int, int, const char*, bool, int, int> rows[] = {
        {4800, 42, "9", false, 42, 0},
        {4800, 42, "7", true, 7, 1},
        {4800, 42, "", true, 0, 1},
        {57600, 500, nullptr, true, 500, 1}};
    for (const auto& [baud, wait_before, typed, ok, wait_after, dsr_after] : rows) {
        SCOPED_TRACE(typed ? typed : "untouched");
        PortSettings s = unusual;
        s.baud_rate = baud;
        s.upload_wait = wait_before;
        Rs232cDialog d(s, devices());
        EXPECT_EQ(checked_in(d, "ﾎﾞｰﾚｰﾄ").isEmpty(), baud == 57600);
        auto* field = named<QLineEdit>(d, "ｱｯﾌﾟﾛｰﾄﾞｳｴｲﾄ");
        EXPECT_EQ(field->text(), QString::number(wait_before));
        if (typed) field->setText(typed);
        d.findChild<QCheckBox*>()->setChecked(true);
        ok ? d.accept() : d.reject();
        s.upload_wait = wait_after;
        s.dsr_watch = dsr_after;
        EXPECT_EQ(d.port_settings(), s);
    }
}
