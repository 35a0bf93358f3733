#pragma once
// The RS-232C dialog: the serial line's settings and, for each COMn:, the device it
// stands for on this machine. The radio groups change the dialog's copy at once; the
// upload wait and the DSR box are read only by OK. The caller decides what Cancel means.

#include <QDialog>
#include <array>

#include "core/settings/settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QGridLayout;

namespace kestrel::app {

class Rs232cDialog : public QDialog {
    Q_OBJECT
public:
    Rs232cDialog(const kestrel::PortSettings& settings,
                 const std::array<kestrel::FixedText<256>, 8>& devices, QWidget* parent = nullptr);

    kestrel::PortSettings port_settings() const { return settings_; }
    std::array<kestrel::FixedText<256>, 8> port_devices() const { return devices_; }

    void accept() override;

private:
    QButtonGroup* add_group(QGridLayout* grid, int row, int column, const QString& title,
                            const QStringList& labels, const QList<int>& values,
                            std::int32_t kestrel::PortSettings::*field);
    void select_port(int port_number);
    void device_edited(const QString& text);
    // A network port has no line settings and no DSR: the note says so while one is chosen.
    void show_network_note();

    kestrel::PortSettings settings_;
    std::array<kestrel::FixedText<256>, 8> devices_;
    std::array<QLabel*, 8> device_labels_{};
    QComboBox* device_field_ = nullptr;
    QLabel* device_caption_ = nullptr;
    QLineEdit* upload_wait_ = nullptr;
    QCheckBox* dsr_watch_ = nullptr;
    QCheckBox* reconnect_ = nullptr;
    QLabel* network_note_ = nullptr;
    int device_port_ = 1;  // the COMn: the device field edits
};

}  // namespace kestrel::app
