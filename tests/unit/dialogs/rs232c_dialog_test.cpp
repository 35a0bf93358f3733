// The RS-232C dialog: every group reads and writes its field, OK alone reads the wait and
// the DSR box, and the device field edits the selected port's device.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "app/dialogs/rs232c_dialog.h"

using namespace kestrel::app;

namespace {

using kestrel::FixedText;
using kestrel::PortSettings;
using Devices = std::array<FixedText<256>, 8>;

Devices sample_devices() {
    Devices d;
    for (int i = 0; i < 8; ++i) d[i] = FixedText<256>("/dev/ttyUSB" + std::to_string(i));
    return d;
}

QRadioButton* radio(QDialog& dialog, const QString& group, const QString& label) {
    for (auto* box : dialog.findChildren<QGroupBox*>())
        if (box->title() == group)
            for (auto* button : box->findChildren<QRadioButton*>())
                if (button->text() == label) return button;
    ADD_FAILURE() << "no button " << label.toStdString() << " in " << group.toStdString();
    return nullptr;
}

QString checked_in(QDialog& dialog, const QString& group) {
    for (auto* box : dialog.findChildren<QGroupBox*>())
        if (box->title() == group)
            for (auto* button : box->findChildren<QRadioButton*>())
                if (button->isChecked()) return button->text();
    return {};
}

QLineEdit* wait_field(QDialog& dialog) {
    for (auto* edit : dialog.findChildren<QLineEdit*>())
        if (edit->accessibleName() == QStringLiteral("ｱｯﾌﾟﾛｰﾄﾞｳｴｲﾄ")) return edit;
    return nullptr;
}

PortSettings unusual_settings() {
    PortSettings s;
    s.port_number = 3;
    s.baud_rate = 4800;
    s.bit_length = 7;
    s.stop_bits = 2;
    s.parity = 1;
    s.flow_control = 1;
    s.local_echo = 0;
    s.tx_lf = 1;
    s.rx_lf = 1;
    s.upload_wait = 42;
    s.dsr_watch = 0;
    return s;
}

TEST(Rs232cDialog, OpensOnTheCurrentValuesAndOkKeepsThemAll) {
    const PortSettings before = unusual_settings();
    Rs232cDialog dialog(before, sample_devices());
    EXPECT_EQ(dialog.windowTitle(), "RS232C");
    EXPECT_EQ(checked_in(dialog, "Comﾎﾟｰﾄ"), "COM3:");
    EXPECT_EQ(checked_in(dialog, "ﾎﾞｰﾚｰﾄ"), "4800");
    EXPECT_EQ(checked_in(dialog, "ﾋﾞｯﾄ長"), "7BIT");
    EXPECT_EQ(checked_in(dialog, "ｽﾄｯﾌﾟﾋﾞｯﾄ"), "2 bit");
    EXPECT_EQ(checked_in(dialog, "パリティー"), "奇数");
    EXPECT_EQ(checked_in(dialog, "フロー制御"), "ﾊｰﾄﾞ(CTS/RTS)");
    EXPECT_EQ(checked_in(dialog, "ローカルエコー"), "無");
    EXPECT_EQ(checked_in(dialog, "送信 LF付加"), "有");
    ASSERT_NE(wait_field(dialog), nullptr);
    EXPECT_EQ(wait_field(dialog)->text(), "42");
    auto* dsr = dialog.findChild<QCheckBox*>();
    ASSERT_NE(dsr, nullptr);
    EXPECT_EQ(dsr->text(), "ＴＮＣ接続判定(DSR監視)   ");
    EXPECT_FALSE(dsr->isChecked());

    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.port_settings(), before);
    EXPECT_EQ(dialog.port_devices(), sample_devices());
}

TEST(Rs232cDialog, EveryGroupWritesItsFieldAndOkReadsWaitAndDsr) {
    Rs232cDialog dialog(unusual_settings(), sample_devices());
    radio(dialog, "Comﾎﾟｰﾄ", "COM8:")->click();
    radio(dialog, "ﾎﾞｰﾚｰﾄ", "38400")->click();
    radio(dialog, "ﾋﾞｯﾄ長", "8BIT")->click();
    radio(dialog, "ｽﾄｯﾌﾟﾋﾞｯﾄ", "1.5 bit")->click();
    radio(dialog, "パリティー", "偶数")->click();
    radio(dialog, "フロー制御", "ﾊｰﾄﾞ(CTS/DTR)")->click();
    radio(dialog, "ローカルエコー", "有")->click();
    radio(dialog, "送信 LF付加", "無")->click();
    wait_field(dialog)->setText("7");
    dialog.findChild<QCheckBox*>()->setChecked(true);

    // The groups have written their fields already; the wait and the box wait for OK.
    PortSettings clicked = dialog.port_settings();
    EXPECT_EQ(clicked.port_number, 8);
    EXPECT_EQ(clicked.upload_wait, 42);
    EXPECT_EQ(clicked.dsr_watch, 0);

    dialog.accept();
    PortSettings after = dialog.port_settings();
    EXPECT_EQ(after.port_number, 8);
    EXPECT_EQ(after.baud_rate, 38400);
    EXPECT_EQ(after.bit_length, 8);
    EXPECT_EQ(after.stop_bits, 1);
    EXPECT_EQ(after.parity, 2);
    EXPECT_EQ(after.flow_control, 2);
    EXPECT_EQ(after.local_echo, 1);
    EXPECT_EQ(after.tx_lf, 0);
    EXPECT_EQ(after.rx_lf, 1);  // no control, kept as it was
    EXPECT_EQ(after.upload_wait, 7);
    EXPECT_EQ(after.dsr_watch, 1);
}

TEST(Rs232cDialog, CancelReadsNeitherWaitNorBoxAndEmptyWaitReadsZero) {
    Rs232cDialog cancelled(unusual_settings(), sample_devices());
    wait_field(cancelled)->setText("9");
    cancelled.findChild<QCheckBox*>()->setChecked(true);
    cancelled.reject();
    EXPECT_EQ(cancelled.port_settings().upload_wait, 42);
    EXPECT_EQ(cancelled.port_settings().dsr_watch, 0);

    Rs232cDialog emptied(unusual_settings(), sample_devices());
    wait_field(emptied)->clear();
    emptied.accept();
    EXPECT_EQ(emptied.port_settings().upload_wait, 0);

    // Typing is limited to two digits; a wider value from the file survives unless edited.
    PortSettings wide = unusual_settings();
    wide.upload_wait = 500;
    Rs232cDialog kept(wide, sample_devices());
    EXPECT_EQ(wait_field(kept)->text(), "500");
    kept.accept();
    EXPECT_EQ(kept.port_settings().upload_wait, 500);
}

TEST(Rs232cDialog, UnlistedValuesSelectNothingAndStayUntilClicked) {
    PortSettings odd = unusual_settings();
    odd.baud_rate = 57600;
    odd.bit_length = 6;
    Rs232cDialog dialog(odd, sample_devices());
    EXPECT_EQ(checked_in(dialog, "ﾎﾞｰﾚｰﾄ"), "");
    EXPECT_EQ(checked_in(dialog, "ﾋﾞｯﾄ長"), "");
    dialog.accept();
    EXPECT_EQ(dialog.port_settings().baud_rate, 57600);
    EXPECT_EQ(dialog.port_settings().bit_length, 6);
}

TEST(Rs232cDialog, DeviceFieldFollowsTheSelectedPortAndEditsOnlyIt) {
    Rs232cDialog dialog(unusual_settings(), sample_devices());
    auto* field = dialog.findChild<QComboBox*>();
    ASSERT_NE(field, nullptr);
    ASSERT_TRUE(field->isEditable());
    EXPECT_EQ(field->currentText(), "/dev/ttyUSB2");
    EXPECT_EQ(field->accessibleName(), "COM3: のデバイス");

    radio(dialog, "Comﾎﾟｰﾄ", "COM2:")->click();
    EXPECT_EQ(field->currentText(), "/dev/ttyUSB1");
    field->setEditText("/tmp/kestrel-demo-tnc");

    // The label beside COM2: shows the new mapping.
    auto* label = dialog.findChild<QLabel*>("device_label_2");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "/tmp/kestrel-demo-tnc");
    EXPECT_EQ(label->accessibleName(), "COM2: のデバイス /tmp/kestrel-demo-tnc");

    radio(dialog, "Comﾎﾟｰﾄ", "COM4:")->click();
    EXPECT_EQ(field->currentText(), "/dev/ttyUSB3");
    dialog.accept();
    Devices expected = sample_devices();
    expected[1] = FixedText<256>("/tmp/kestrel-demo-tnc");
    EXPECT_EQ(dialog.port_devices(), expected);
    EXPECT_EQ(dialog.port_settings().port_number, 4);
}

TEST(Rs232cDialog, EveryControlHasItsLabelAsAccessibleName) {
    Rs232cDialog dialog(unusual_settings(), sample_devices());
    int controls = 0;
    for (auto* widget : dialog.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(widget) ||
                             qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
                             qobject_cast<QGroupBox*>(widget);
        if (!control || widget->parent() == nullptr) continue;
        // The combo's own line edit is named through the combo.
        if (qobject_cast<QComboBox*>(widget->parentWidget())) continue;
        ++controls;
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->metaObject()->className();
    }
    // 8 ports, 8 rates, 2, 3, 3, 3, 2, 2 buttons, 8 groups, wait, device, box, OK, Cancel.
    EXPECT_EQ(controls, 8 + 8 + 2 + 3 + 3 + 3 + 2 + 2 + 8 + 1 + 1 + 1 + 2);
}

}  // namespace
