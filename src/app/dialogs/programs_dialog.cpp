#include "app/dialogs/programs_dialog.h"

#include <QFile>
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

// The fields take one byte more than the table keeps, as the settings file's readers do.
constexpr std::size_t heading_field = 20, heading_bytes = 19;
constexpr std::size_t path_field = 70, path_bytes = 69;

// The first button's digit is full-width, the others are not.
const QString browse_labels[] = {QStringLiteral("１"), QStringLiteral("2"), QStringLiteral("3"),
                                 QStringLiteral("4"), QStringLiteral("5")};

}  // namespace

ProgramsDialog::ProgramsDialog(const ExternalPrograms& programs, PathChooser choose,
                               QWidget* parent)
    : QDialog(parent), choose_(std::move(choose)) {
    setWindowTitle(QStringLiteral("外部ﾌﾟﾛｸﾞﾗﾑ"));
    setAccessibleName(windowTitle());
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("見出し")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("EXEへのﾊﾟｽ")), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("参照")), 0, 3);
    const int wide = fontMetrics().horizontalAdvance(QLatin1Char('x'));
    // A field of `limit` CP932 bytes holding `text`, named for screen readers and tests.
    const auto field = [wide](const QString& name, std::string_view text, std::size_t limit,
                              int columns) {
        auto* edit = new QLineEdit;
        limit_cp932(edit, limit);
        set_cp932_text(edit, text, limit);
        edit->setObjectName(name);
        edit->setAccessibleName(name);
        edit->setMinimumWidth(wide * columns);
        return edit;
    };
    for (int i = 0; i < kestrel::external_program_count; ++i) {
        const QString number = QString::number(i + 1);
        auto* heading =
            field(QStringLiteral("見出し ") + number, programs[i].name.view(), heading_field, 20);
        auto* path =
            field(QStringLiteral("EXEへのﾊﾟｽ ") + number, programs[i].path.view(), path_field, 50);
        auto* browse = new QPushButton(browse_labels[i]);
        browse->setObjectName(QStringLiteral("参照 ") + number);
        browse->setAccessibleName(browse->objectName());
        browse->setAutoDefault(false);
        connect(browse, &QPushButton::clicked, this, [this, i, path] {
            const std::optional<std::string> chosen = choose_ ? choose_(i + 1) : std::nullopt;
            if (!chosen) return;
            // A path is the file system's bytes; the table keeps CP932, cut to the field.
            set_cp932_text(path, to_cp932(QFile::decodeName(chosen->c_str())), path_field);
        });
        grid->addWidget(new QLabel(number), i + 1, 0);
        grid->addWidget(heading, i + 1, 1);
        grid->addWidget(path, i + 1, 2);
        grid->addWidget(browse, i + 1, 3);
        headings_[i] = heading;
        paths_[i] = path;
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("次回の起動のときに有効になります。")));
    add_ok_cancel(this, buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void ProgramsDialog::store(ExternalPrograms& programs) const {
    for (int i = 0; i < kestrel::external_program_count; ++i) {
        programs[i].name.assign(cp932_text(headings_[i], heading_bytes));
        programs[i].path.assign(cp932_text(paths_[i], path_bytes));
    }
}

bool run_programs_dialog(QWidget* parent, ExternalPrograms& programs,
                         ProgramsDialog::PathChooser choose,
                         const std::function<int(QDialog&)>& run_dialog) {
    ProgramsDialog dialog(programs, std::move(choose), parent);
    if ((run_dialog ? run_dialog(dialog) : dialog.exec()) != QDialog::Accepted) return false;
    dialog.store(programs);
    return true;
}

}  // namespace kestrel::app
