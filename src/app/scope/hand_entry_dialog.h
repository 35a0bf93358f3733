#pragma once
// "追加": a spot typed by hand into the PC scope. The fields are empty each time it opens;
// what is typed is taken as it is (the core builds the spot from the texts).

#include <QDialog>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "core/cluster/spot_list.h"

class QLineEdit;

namespace kestrel::app {

class HandEntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit HandEntryDialog(QWidget* parent = nullptr);

    // CP932 texts as the spot takes them: callsign at most 11 bytes, remarks at most 27.
    std::string mhz() const;
    std::string khz() const;
    std::string hundred_hz() const;
    std::string callsign() const;
    std::string remarks() const;

private:
    QLineEdit* mhz_ = nullptr;
    QLineEdit* khz_ = nullptr;
    QLineEdit* hundred_hz_ = nullptr;
    QLineEdit* callsign_ = nullptr;
    QLineEdit* remarks_ = nullptr;
};

// Runs the dialog with `run` (default exec()); on OK the spot it describes, received `now`.
std::optional<kestrel::Spot> run_hand_entry_dialog(QWidget* parent, std::time_t now,
                                                   const std::function<int(QDialog&)>& run = {});

}  // namespace kestrel::app
