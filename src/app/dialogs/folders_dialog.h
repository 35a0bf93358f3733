#pragma once
// "フォルダーの選択": the D/L and U/L directories. "参照" picks a folder with the system's
// folder chooser and puts it into the field; the process's current directory is left
// alone, since the receiver thread creates date-named files meanwhile. OK stores both
// fields, Cancel nothing.

#include <QDialog>
#include <functional>
#include <mutex>

#include "core/settings/settings.h"

class QLineEdit;

namespace kestrel::app {

class FoldersDialog : public QDialog {
    Q_OBJECT
public:
    // Shows a folder chooser starting at `start`; an empty result means it was cancelled.
    using FolderChooser = std::function<QString(const QString& start)>;

    explicit FoldersDialog(const kestrel::Settings& settings, QWidget* parent = nullptr);

    // Replaces the system chooser (tests, scripted runs).
    void set_folder_chooser(FolderChooser choose) { choose_ = std::move(choose); }

    // The fields as the settings hold them: CP932, at most 254 bytes.
    std::string download_dir() const;
    std::string upload_dir() const;

private:
    void browse(QLineEdit* field);

    QLineEdit* download_ = nullptr;
    QLineEdit* upload_ = nullptr;
    FolderChooser choose_;
};

// OK stores both directories into `settings` (in memory) and returns true. The receiver
// reads `Settings::dl_dir` under `records_mutex`, which is held while storing when given.
bool run_folders_dialog(QWidget* parent, kestrel::Settings& settings,
                        const std::function<int(QDialog&)>& run_dialog = {},
                        std::mutex* records_mutex = nullptr);

}  // namespace kestrel::app
