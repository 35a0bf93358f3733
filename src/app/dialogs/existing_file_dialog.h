#pragma once
// The "ダウンロード" question when the chosen capture file exists: append or overwrite.
// The radio buttons change the choice at once, so it outlives a Cancel.

#include <QDialog>
#include <functional>

class QRadioButton;

namespace kestrel::app {

class ExistingFileDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExistingFileDialog(bool overwrite, QWidget* parent = nullptr);
    bool overwrite() const { return overwrite_; }

private:
    bool overwrite_;
};

// True for OK. `overwrite` presets the buttons and receives the operator's last choice,
// whichever way the dialog ended. `run_dialog` runs it modally (default exec()).
bool run_existing_file_dialog(QWidget* parent, bool& overwrite,
                              const std::function<int(QDialog&)>& run_dialog = {});

}  // namespace kestrel::app
