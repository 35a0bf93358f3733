// The RBBS records at the main frame: the record dialog from the RBBS menu and the function
// keys, and what its sending buttons start; the connect command of the current record.
// Marking and reading in split view are the core's RbbsCommands, reached from the key table.

#include "app/dialogs/rbbs_dialog.h"
#include "app/shell/command_ids.h"
#include "app/shell/main_window.h"

namespace kestrel::app {

void MainWindow::rbbs_command(int id) {
    using namespace command;
    open_rbbs_dialog(id <= rbbs_twelfth ? id - rbbs_first : 12 + id - rbbs_thirteenth);
}

// The dialog makes `record` current and keeps the shared current index with it; the label,
// the menu labels and the bell option follow whatever record it closed on.
void MainWindow::open_rbbs_dialog(int record) {
    const RbbsDialogEnd end =
        run_rbbs_dialog(this, s_.settings, record, run_dialog, &s_.link.rbbs());
    s_.link.rbbs().current = s_.settings.default_fkey_no;
    update_rbbs_label();
    rbbs_menu_labels();
    switch (end) {
        case RbbsDialogEnd::connect: send_connect_command(); break;
        case RbbsDialogEnd::upload: start_connect_file_upload(); break;
        case RbbsDialogEnd::unproto: s_.link.send_break_unproto(); break;
        case RbbsDialogEnd::ok:
        case RbbsDialogEnd::cancel: break;
    }
}

void MainWindow::send_connect_command() {
    rbbs_.send_connect_command();
    update_rbbs_label();
}

}  // namespace kestrel::app
