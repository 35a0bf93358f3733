#pragma once
// "U/Lﾎﾟｰｽﾞ文字列": the line that, alone on a line of an upload, stops the upload until
// HOME. "初期値に戻す" puts the default back into the field; only OK stores.

#include <QDialog>
#include <functional>
#include <string>

#include "core/settings/settings.h"

class QLineEdit;

namespace kestrel::app {

class PauseStringDialog : public QDialog {
    Q_OBJECT
public:
    explicit PauseStringDialog(std::string_view pause_string, QWidget* parent = nullptr);
    // CP932, at most 79 bytes.
    std::string pause_string() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* field_ = nullptr;
};

// OK stores the field into `settings.pause_str` and returns true; Cancel leaves it as it
// was, "初期値に戻す" or not.
bool run_pause_string_dialog(QWidget* parent, kestrel::Settings& settings,
                             const std::function<int(QDialog&)>& run_dialog = {});

}  // namespace kestrel::app
