#include "app/dialogs/rs232c_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/dialogs/dialog_buttons.h"
#include "app/dialogs/serial_devices.h"
#include "core/link/port.h"
#include "core/text/sjis.h"

namespace kestrel::app {

namespace {

QString from_cp932(std::string_view bytes) {
    return QString::fromStdString(kestrel::text::cp932_to_utf8(bytes));
}

std::string to_cp932(const QString& text) {
    return kestrel::text::utf8_to_cp932(text.toStdString());
}

QString port_name(int port_number) { return QStringLiteral("COM%1:").arg(port_number); }

QString device_caption(int port_number) {
    return QStringLiteral("%1 のデバイス").arg(port_name(port_number));
}

}  // namespace

Rs232cDialog::Rs232cDialog(const kestrel::PortSettings& settings,
                           const std::array<kestrel::FixedText<256>, 8>& devices, QWidget* parent)
    : QDialog(parent), settings_(settings), devices_(devices) {
    setWindowTitle(QStringLiteral("RS232C"));
    setAccessibleName(windowTitle());

    auto* grid = new QGridLayout;

    // The port group carries, beside each button, the device that COMn: stands for.
    auto* port_box = new QGroupBox(QStringLiteral("Comﾎﾟｰﾄ"));
    port_box->setAccessibleName(port_box->title());
    auto* port_grid = new QGridLayout(port_box);
    auto* ports = new QButtonGroup(this);
    for (int n = 1; n <= kestrel::port_count; ++n) {
        auto* button = new QRadioButton(port_name(n));
        button->setAccessibleName(button->text());
        ports->addButton(button, n);
        auto* device = new QLabel(from_cp932(devices_[n - 1].view()));
        device->setObjectName(QStringLiteral("device_label_%1").arg(n));
        device->setAccessibleName(device_caption(n) + ' ' + device->text());
        device->setTextInteractionFlags(Qt::TextSelectableByMouse);
        device_labels_[n - 1] = device;
        port_grid->addWidget(button, n - 1, 0);
        port_grid->addWidget(device, n - 1, 1);
    }
    if (auto* current = ports->button(settings_.port_number)) current->setChecked(true);
    connect(ports, &QButtonGroup::idClicked, this, [this](int id) {
        settings_.port_number = id;
        select_port(id);
    });

    device_caption_ = new QLabel;
    device_field_ = new QComboBox;
    device_field_->setObjectName(QStringLiteral("device_field"));
    device_field_->setEditable(true);
    device_field_->setInsertPolicy(QComboBox::NoInsert);
    device_field_->addItems(find_serial_devices());
    device_field_->setMinimumContentsLength(28);
    device_caption_->setBuddy(device_field_);
    port_grid->addWidget(device_caption_, kestrel::port_count, 0);
    port_grid->addWidget(device_field_, kestrel::port_count, 1);
    network_note_ = new QLabel(QStringLiteral("ﾈｯﾄﾜｰｸ接続: 回線設定とDSR監視は使われません"));
    network_note_->setObjectName(QStringLiteral("network_note"));
    network_note_->setAccessibleName(network_note_->text());
    port_grid->addWidget(network_note_, kestrel::port_count + 1, 0, 1, 2);
    select_port(settings_.port_number >= 1 && settings_.port_number <= kestrel::port_count
                    ? settings_.port_number
                    : 1);
    connect(device_field_, &QComboBox::editTextChanged, this, &Rs232cDialog::device_edited);
    grid->addWidget(port_box, 0, 0, 3, 1);

    using P = kestrel::PortSettings;
    add_group(grid, 0, 1, QStringLiteral("ﾎﾞｰﾚｰﾄ"),
              {"300", "600", "1200", "2400", "4800", "9600", "19200", "38400"},
              {300, 600, 1200, 2400, 4800, 9600, 19200, 38400}, &P::baud_rate);
    add_group(grid, 1, 1, QStringLiteral("ﾋﾞｯﾄ長"), {"7BIT", "8BIT"}, {7, 8}, &P::bit_length);
    add_group(grid, 2, 1, QStringLiteral("ｽﾄｯﾌﾟﾋﾞｯﾄ"), {"1 bit", "1.5 bit", "2 bit"}, {0, 1, 2},
              &P::stop_bits);
    add_group(grid, 0, 2, QStringLiteral("パリティー"),
              {QStringLiteral("なし"), QStringLiteral("奇数"), QStringLiteral("偶数")}, {0, 1, 2},
              &P::parity);
    add_group(grid, 1, 2, QStringLiteral("フロー制御"),
              {QStringLiteral("ソフト"), QStringLiteral("ﾊｰﾄﾞ(CTS/RTS)"),
               QStringLiteral("ﾊｰﾄﾞ(CTS/DTR)")},
              {0, 1, 2}, &P::flow_control);
    auto* echo_and_lf = new QVBoxLayout;
    grid->addLayout(echo_and_lf, 2, 2);
    {
        auto* inner = new QGridLayout;
        add_group(inner, 0, 0, QStringLiteral("ローカルエコー"),
                  {QStringLiteral("無"), QStringLiteral("有")}, {0, 1}, &P::local_echo);
        add_group(inner, 1, 0, QStringLiteral("送信 LF付加"),
                  {QStringLiteral("無"), QStringLiteral("有")}, {0, 1}, &P::tx_lf);
        echo_and_lf->addLayout(inner);
    }

    auto* wait_row = new QHBoxLayout;
    auto* wait_label = new QLabel(QStringLiteral("ｱｯﾌﾟﾛｰﾄﾞｳｴｲﾄ"));
    upload_wait_ =
        new QLineEdit(QString::number(static_cast<std::uint32_t>(settings_.upload_wait)));
    // Digits only, at most two typed; a longer value from the settings file is shown whole
    // and kept unless the operator edits it.
    upload_wait_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,2}")), this));
    upload_wait_->setFixedWidth(upload_wait_->fontMetrics().horizontalAdvance("000") + 12);
    upload_wait_->setAccessibleName(wait_label->text());
    wait_label->setBuddy(upload_wait_);
    auto* wait_unit = new QLabel(QStringLiteral("mm sec"));
    wait_row->addWidget(wait_label);
    wait_row->addWidget(upload_wait_);
    wait_row->addWidget(wait_unit);
    wait_row->addStretch();

    dsr_watch_ = new QCheckBox(QStringLiteral("ＴＮＣ接続判定(DSR監視)   "));
    dsr_watch_->setAccessibleName(dsr_watch_->text().trimmed());
    dsr_watch_->setChecked(settings_.dsr_watch != 0);
    reconnect_ = new QCheckBox(QStringLiteral("切断時に再接続"));
    reconnect_->setAccessibleName(reconnect_->text());
    reconnect_->setChecked(settings_.reconnect != 0);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(dsr_watch_);
    buttons->addWidget(reconnect_);
    add_ok_cancel(this, buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(wait_row);
    layout->addLayout(buttons);
}

QButtonGroup* Rs232cDialog::add_group(QGridLayout* grid, int row, int column, const QString& title,
                                      const QStringList& labels, const QList<int>& values,
                                      std::int32_t kestrel::PortSettings::*field) {
    auto* box = new QGroupBox(title);
    box->setAccessibleName(title);
    auto* box_layout = new QGridLayout(box);
    auto* group = new QButtonGroup(this);
    // Long groups take two columns so the dialog stays compact.
    const int rows = labels.size() > 4 ? (labels.size() + 1) / 2 : labels.size();
    for (int i = 0; i < labels.size(); ++i) {
        auto* button = new QRadioButton(labels[i]);
        button->setAccessibleName(labels[i]);
        group->addButton(button, values[i]);
        box_layout->addWidget(button, i % rows, i / rows);
        // A value with no button of its own leaves the group with nothing selected.
        if (settings_.*field == values[i]) button->setChecked(true);
    }
    connect(group, &QButtonGroup::idClicked, this,
            [this, field](int id) { settings_.*field = id; });
    grid->addWidget(box, row, column);
    return group;
}

void Rs232cDialog::select_port(int port_number) {
    device_port_ = port_number;
    device_caption_->setText(device_caption(port_number));
    device_field_->setAccessibleName(device_caption_->text());
    const QSignalBlocker quiet(device_field_);
    device_field_->setEditText(from_cp932(devices_[port_number - 1].view()));
    show_network_note();
}

void Rs232cDialog::show_network_note() {
    network_note_->setVisible(kestrel::Port::is_network(devices_[device_port_ - 1].view()));
}

void Rs232cDialog::device_edited(const QString& text) {
    devices_[device_port_ - 1].assign(to_cp932(text.trimmed()));
    QLabel* label = device_labels_[device_port_ - 1];
    label->setText(from_cp932(devices_[device_port_ - 1].view()));
    label->setAccessibleName(device_caption(device_port_) + ' ' + label->text());
    show_network_note();
}

void Rs232cDialog::accept() {
    bool number = false;
    const uint wait = upload_wait_->text().toUInt(&number);
    settings_.upload_wait = number ? static_cast<std::int32_t>(wait) : 0;
    settings_.dsr_watch = dsr_watch_->isChecked() ? 1 : 0;
    settings_.reconnect = reconnect_->isChecked() ? 1 : 0;
    QDialog::accept();
}

}  // namespace kestrel::app
