// What start-up tells an operator whose settings came from another machine: a COM port
// that maps to a placeholder device, and folders given as Windows paths.

#include <mutex>

#include "app/dialogs/folders_dialog.h"
#include "app/shell/main_window.h"
#include "core/link/port_names.h"
#include "core/link/uart_presence.h"
#include "core/settings/windows_paths.h"
#include "core/text/sjis.h"

namespace kestrel::app {

using kestrel::text::sjis;

// Decided from sysfs before any open: /dev/ttyS0 may be the machine's console.
bool MainWindow::port_lacks_device() {
    const int port = s_.settings.port.port_number;
    const std::string_view device =
        s_.settings.port_devices[static_cast<std::size_t>(port - 1)].view();
    if (!kestrel::default_port_lacks_uart(port, device, s_.sysfs_root)) return false;
    s_.desktop.tell(std::string(kestrel::port_name(port)) + sjis(" は ") + std::string(device) +
                        sjis(" のままですが、この機械のそこにシリアルポートはありません。\n"
                             "RS-232C 設定で使う装置 (/dev/ttyUSB0 など) を選んでください。"),
                    kestrel::MessageIcon::warning);
    return true;
}

void MainWindow::report_windows_paths() {
    const std::vector<std::string> held = kestrel::windows_path_settings(s_.settings);
    if (held.empty()) return;
    std::string text = sjis("次の設定は Windows のパスのままで、このままでは使えません:\n");
    for (const std::string& line : held) text += "    " + line + "\n";
    const kestrel::Settings& settings = s_.settings;
    if (!kestrel::is_windows_path(settings.dl_dir.view()) &&
        !kestrel::is_windows_path(settings.ul_dir.view())) {
        s_.desktop.tell(text, kestrel::MessageIcon::warning);
        return;
    }
    text += sjis("フォルダーの設定を開きますか?");
    if (s_.desktop.message_box(text, kestrel::message_caption, kestrel::MessageIcon::question,
                               kestrel::MessageButtons::yes_no) == kestrel::MessageAnswer::yes) {
        run_folders_dialog(this, s_.settings, run_dialog, &s_.link.rbbs().records_mutex);
    }
}

}  // namespace kestrel::app
