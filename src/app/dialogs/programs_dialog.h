#pragma once
// "外部ﾌﾟﾛｸﾞﾗﾑ": the headings and command lines of the five external programs. "参照" n
// puts a chosen file's path into command line n. The caller writes the table to the
// settings file at OK; the menu keeps its labels until the next start, as the dialog says.

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/settings/settings.h"

class QLineEdit;

namespace kestrel::app {

using ExternalPrograms = std::array<kestrel::ExternalProgram, kestrel::external_program_count>;

class ProgramsDialog : public QDialog {
    Q_OBJECT
public:
    // Asks for program n's file (1..5); a file-system path, or nothing when cancelled.
    using PathChooser = std::function<std::optional<std::string>(int program)>;

    ProgramsDialog(const ExternalPrograms& programs, PathChooser choose, QWidget* parent = nullptr);

    // The fields as the table keeps them: headings of at most 19 CP932 bytes, command lines
    // of at most 69.
    void store(ExternalPrograms& programs) const;

private:
    std::array<QLineEdit*, kestrel::external_program_count> headings_{};
    std::array<QLineEdit*, kestrel::external_program_count> paths_{};
    PathChooser choose_;
};

// OK stores the fields into `programs` and returns true; Cancel and Esc leave it.
bool run_programs_dialog(QWidget* parent, ExternalPrograms& programs,
                         ProgramsDialog::PathChooser choose,
                         const std::function<int(QDialog&)>& run_dialog = {});

}  // namespace kestrel::app
