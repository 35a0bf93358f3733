// The external programs: their registration dialog and starting one of them.

#include <QFileInfo>
#include <QProcess>

#include "app/dialogs/cp932_field.h"
#include "app/dialogs/programs_dialog.h"
#include "app/shell/command_ids.h"
#include "app/shell/main_window.h"
#include "core/settings/settings_io.h"
#include "core/text/sjis.h"

namespace kestrel::app {

// The dialog reads the table from the file and writes all of it back at OK. The menu keeps
// the labels of the start; the toolbar's tips follow at once.
void MainWindow::register_programs_command() {
    kestrel::Settings& settings = s_.settings;
    kestrel::load_external_programs(s_.file, settings);
    const auto choose = [this](int program) {
        kestrel::FileChoice choice;
        choice.title = kestrel::text::sjis("外部EXE " + std::to_string(program) + " ");
        return s_.desktop.choose_file(choice);
    };
    if (!run_programs_dialog(this, settings.external_programs, choose, run_dialog)) return;
    kestrel::save_external_programs(s_.file, settings);
    show_program_tips(tool_bar_, from_cp932(settings.external_programs[0].name.view()),
                      from_cp932(settings.external_programs[1].name.view()));
}

// The command line is split as a shell would quote it, but no shell runs it: the program
// starts detached, in this program's directory and environment, and nothing waits for it.
// Detaching leaves no child behind to reap. A line that names an existing file as a whole
// runs that file: "参照" puts a path with blanks in unquoted, and the settings file drops
// the quotes around a whole value.
void MainWindow::run_program(int id) {
    const std::string_view line =
        s_.settings.external_programs[id - command::program_1].path.view();
    const QString text = from_cp932(line);
    QStringList words = QFileInfo(text.trimmed()).isFile() ? QStringList{text.trimmed()}
                                                           : QProcess::splitCommand(text);
    if (words.isEmpty()) return;  // nothing registered: nothing to see
    const QString program = words.takeFirst();
    if (!program.isEmpty() && QProcess::startDetached(program, words)) return;
    s_.desktop.tell(std::string(line) + kestrel::text::sjis(" を起動できません"),
                    kestrel::MessageIcon::warning);
}

}  // namespace kestrel::app
