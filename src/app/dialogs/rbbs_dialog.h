#pragma once
// "ＲＢＢＳ プロパティー": the 24 RBBS records, one at a time. The dialog edits only
// `settings`: a record is written when a button stores it ("前", "次", "OK" and the three
// sending buttons), and "ｷｬﾝｾﾙ" or Esc puts back all 24 records and the current index as
// they were at entry. What the sending buttons start (the connect command, the connect-file
// upload, the UNPROTO text) is the caller's, from the returned end.
//
// Threading: the receiver reads the records and the current index under
// `RbbsShare::records_mutex`; given a share, the dialog holds that lock around each store,
// each change of the current record (which it copies into `RbbsShare::current` as well as
// `Settings::default_fkey_no`) and the restore on Cancel.

#include <QDialog>
#include <array>
#include <functional>

#include "core/link/rx_line.h"
#include "core/settings/settings.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace kestrel::app {

enum class RbbsDialogEnd { cancel, ok, connect, upload, unproto };

class RbbsDialog : public QDialog {
    Q_OBJECT
public:
    // Makes `record` (0..23; anything else means 0) the current record.
    RbbsDialog(kestrel::Settings& settings, int record, kestrel::RbbsShare* share = nullptr,
               QWidget* parent = nullptr);

    int record() const { return current_; }
    // Which button closed the dialog; `ok` until one did.
    RbbsDialogEnd end() const { return end_; }
    // The button the pointer is put on at opening: "U/L(SHIFT+↓)" when the record has a
    // connect file, else "送信(SHIFT+↑)".
    QPushButton* pointer_target() const;

    // Stores the fields into the current record, then closes.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* add_field(const QString& caption, std::size_t max_bytes);
    void load();
    void store();
    void make_current(int record);
    void step(int delta);
    void finish(RbbsDialogEnd end);
    void move_pointer();

    kestrel::Settings& settings_;
    kestrel::RbbsShare* share_;
    int current_ = 0;
    RbbsDialogEnd end_ = RbbsDialogEnd::ok;

    QLineEdit* key_name_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* connect_command_ = nullptr;
    QLineEdit* connect_file_ = nullptr;
    QLineEdit* read_command_ = nullptr;
    QLineEdit* separator_ = nullptr;
    QLineEdit* extension_ = nullptr;
    QLineEdit* dl_start_ = nullptr;
    QLineEdit* dl_end_ = nullptr;
    QLineEdit* unproto_ = nullptr;
    QLineEdit* prompt_wait_ = nullptr;
    QSpinBox* prompt_timeout_ = nullptr;
    QCheckBox* dl_start_valid_ = nullptr;
    QCheckBox* dl_end_valid_ = nullptr;
    QCheckBox* saver_ = nullptr;
    QButtonGroup* sort_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* send_connect_ = nullptr;
    QPushButton* upload_ = nullptr;
};

// Runs the dialog on `record` (`run_dialog` runs it modally, default exec()) and returns
// the button that closed it; `cancel` after the records were put back. Whatever the end,
// the caller redraws the toolbar label and acts on the end with the record now current.
RbbsDialogEnd run_rbbs_dialog(QWidget* parent, kestrel::Settings& settings, int record,
                              const std::function<int(QDialog&)>& run_dialog = {},
                              kestrel::RbbsShare* share = nullptr);

}  // namespace kestrel::app
