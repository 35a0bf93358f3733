#include "app/dialogs/folders_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/cp932_field.h"
#include "app/dialogs/dialog_buttons.h"

namespace kestrel::app {

namespace {

constexpr std::size_t field_bytes = 255;
constexpr std::size_t stored_bytes = 254;

}  // namespace

FoldersDialog::FoldersDialog(const kestrel::Settings& settings, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("フォルダーの選択"));
    setAccessibleName(windowTitle());
    choose_ = [this](const QString& start) {
        return QFileDialog::getExistingDirectory(this, QStringLiteral("フォルダを選択してください"),
                                                 start);
    };

    auto* grid = new QGridLayout;
    const auto add_row = [&](int row, const QString& caption, const kestrel::FixedText<255>& dir) {
        auto* label = new QLabel(caption);
        auto* field = new QLineEdit;
        limit_cp932(field, field_bytes);
        set_cp932_text(field, dir.view(), field_bytes);
        field->setAccessibleName(caption);
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
        label->setBuddy(field);
        auto* browse_button = new QPushButton(QStringLiteral("参照"));
        browse_button->setAccessibleName(caption + QStringLiteral(" 参照"));
        browse_button->setAutoDefault(false);
        connect(browse_button, &QPushButton::clicked, this, [this, field] { browse(field); });
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(browse_button, row, 2);
        return field;
    };
    download_ = add_row(0, QStringLiteral("D/Lﾃﾞｨﾚｸﾄﾘｰ"), settings.dl_dir);
    upload_ = add_row(1, QStringLiteral("U/Lﾃﾞｨﾚｸﾄﾘｰ"), settings.ul_dir);
    auto* hint = new QLabel(QStringLiteral("（例） /home/user/bbs"));
    grid->addWidget(hint, 2, 1);

    auto* buttons = new QHBoxLayout;
    add_ok_cancel(this, buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

// The chooser starts where the field points when that is a folder, else in the current
// directory, which it never changes.
void FoldersDialog::browse(QLineEdit* field) {
    const QFileInfo current(field->text());
    const QString start = !field->text().isEmpty() && current.isDir() ? current.absoluteFilePath()
                                                                      : QDir::currentPath();
    const QString chosen = choose_ ? choose_(start) : QString();
    if (chosen.isEmpty()) return;
    set_cp932_text(field, to_cp932(QDir::toNativeSeparators(chosen)), field_bytes);
}

std::string FoldersDialog::download_dir() const { return cp932_text(download_, stored_bytes); }
std::string FoldersDialog::upload_dir() const { return cp932_text(upload_, stored_bytes); }

bool run_folders_dialog(QWidget* parent, kestrel::Settings& settings,
                        const std::function<int(QDialog&)>& run_dialog, std::mutex* records_mutex) {
    FoldersDialog dialog(settings, parent);
    if ((run_dialog ? run_dialog(dialog) : dialog.exec()) != QDialog::Accepted) return false;
    std::unique_lock<std::mutex> lock;
    if (records_mutex) lock = std::unique_lock(*records_mutex);
    settings.dl_dir.assign(dialog.download_dir());
    settings.ul_dir.assign(dialog.upload_dir());
    return true;
}

}  // namespace kestrel::app
