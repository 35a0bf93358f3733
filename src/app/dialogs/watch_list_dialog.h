#pragma once
// "ウォッチリスト": the callsigns and prefixes (with `*`) whose spots the PC scope lights up,
// rings the bell for and reads out. Opened from the packet-cluster options. Entries are
// typed in capitals into the field and added with "追加" or OK (several at once, separated
// by blanks or commas); "削除" removes the chosen one. OK takes the list into WATCH_LIST,
// which reaches the settings file with "設定保存"; "ｷｬﾝｾﾙ" leaves it as it was.

#include <QDialog>
#include <functional>
#include <string>

#include "core/settings/settings.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace kestrel::app {

class WatchListDialog : public QDialog {
    Q_OBJECT
public:
    WatchListDialog(std::string_view list, QWidget* parent = nullptr);

    // The entries as the settings hold them: CP932, separated by one blank.
    std::string list() const;
    void accept() override;

    QLineEdit* entry_field() const { return field_; }
    QListWidget* entries() const { return entries_; }

private:
    void add_typed();
    bool add_entry(const QString& entry);

    QLineEdit* field_;
    QListWidget* entries_;
    QLabel* note_;
};

// Runs the dialog with `run` (default exec()); on OK the list goes into the settings.
void run_watch_list_dialog(QWidget* parent, kestrel::Settings& settings,
                           const std::function<int(QDialog&)>& run = {});

}  // namespace kestrel::app
