#pragma once
// The Time Stamp dialog: whether received lines begin with the time.

#include <QDialog>
#include <functional>

class QCheckBox;

namespace kestrel::app {

class TimeStampDialog : public QDialog {
    Q_OBJECT
public:
    TimeStampDialog(bool time_stamp_on, QWidget* parent = nullptr);
    bool time_stamp_on() const;

private:
    QCheckBox* box_ = nullptr;
};

// OK sets `time_stamp_on` from the box and returns true; Esc or the close box leave it.
// `run` runs the dialog modally (default exec()).
bool run_time_stamp_dialog(QWidget* parent, bool& time_stamp_on,
                           const std::function<int(QDialog&)>& run = {});

}  // namespace kestrel::app
