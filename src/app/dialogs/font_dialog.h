#pragma once
// The screen font: which of the three kinds, its size, and the back-scroll pane's left
// margin; and the installed font each kind resolves to.

#include <QDialog>
#include <QFont>
#include <functional>

#include "core/desktop/desktop.h"
#include "core/settings/settings.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace kestrel::app {

// Kind 0: the system's fixed font; 1: "ＭＳ 明朝", else IPAMincho; 2: "ＭＳ ゴシック", else
// IPAGothic. Kinds 1 and 2 take `log_font_y` as the cell height (the height the font dialog
// shows), at most, so the dialog's OK gives back the font it started from.
QFont kestrel_font(const kestrel::Settings& settings);

class FontDialog : public QDialog {
    Q_OBJECT
public:
    // `desktop` shows the refusal of a zero size (caption "Kestrel"); without one the
    // dialog shows it with a QMessageBox of its own.
    FontDialog(const kestrel::Settings& settings, QWidget* parent = nullptr,
               kestrel::Desktop* desktop = nullptr);

    int font_kind() const { return kind_; }
    std::int32_t font_size() const;
    bool left_margin() const;

    void accept() override;

private:
    void choose_kind(int kind);

    kestrel::Desktop* desktop_ = nullptr;
    int kind_ = 0;
    QButtonGroup* kinds_ = nullptr;
    QLineEdit* size_ = nullptr;
    QCheckBox* margin_ = nullptr;
};

// OK stores kind, size and margin into `settings` and returns true; a size of 0 for the
// two scalable kinds is refused with a message (through `desktop` when given) and the
// dialog stays. Cancel changes nothing. `run` runs the dialog modally (default exec()).
bool run_font_dialog(QWidget* parent, kestrel::Settings& settings,
                     kestrel::Desktop* desktop = nullptr,
                     const std::function<int(QDialog&)>& run = {});

}  // namespace kestrel::app
