// The packet-cluster side of the main frame: the PC scope and TALK windows, which it opens
// and closes, feeds from the receiver while they exist and remembers across openings; the
// minute tick; sending a TALK; the packet-cluster options.

#include <algorithm>

#include "app/dialogs/cluster_options_dialog.h"
#include "app/dialogs/cp932_field.h"
#include "app/dialogs/window_message_box.h"
#include "app/scope/pc_scope_window.h"
#include "app/shell/command_ids.h"
#include "app/shell/main_window.h"
#include "app/talk/talk_window.h"
#include "core/cluster/watch_list.h"
#include "core/settings/settings_io.h"

namespace kestrel::app {

namespace {

// As the main frame's own rectangle: the window without its frame.
kestrel::Rect stored_rect(const QWidget& window) {
    const QRect g = window.geometry();
    return {g.left(), g.top(), g.right() + 1, g.bottom() + 1};
}

void move_to(QWidget& window, const kestrel::Rect& r) {
    if (r.right - r.left > 0 && r.bottom - r.top > 0) {
        window.setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else {
        window.resize(640, 480);
    }
}

// The window may be the one whose event is being handled: the event loop deletes it.
void retire(ClusterPart& part, QWidget* window) {
    window->hide();
    window->deleteLater();
    std::erase_if(part.closed, [](const QPointer<QWidget>& w) { return w.isNull(); });
    part.closed.emplace_back(window);
}

}  // namespace

void MainWindow::toggle_pc_scope() {
    if (cluster_.scope) {
        close_pc_scope();
    } else {
        open_pc_scope();
    }
    menu_refresh();
}

void MainWindow::open_pc_scope() {
    kestrel::load_scope_rect(s_.file, s_.settings);
    auto* scope =
        new PcScopeWindow(cluster_.spots, cluster_.filter, s_.settings.small_pc_scope == 1,
                          [this] { return cluster_.clock(); });
    scope->run_dialog = [this](QDialog& dialog) { return run_dialog(dialog); };
    scope->is_watched = [this](std::string_view callsign) {
        return kestrel::watch_list_matches(s_.settings.watch_list.view(), callsign);
    };
    scope->bell = [this] { s_.desktop.beep(); };
    // The main frame's accelerators work in this window too (ALT+S closes it); a grayed
    // item's accelerator does nothing here either.
    for (const auto& [id, action] : menu_.items) {
        if (!action->shortcut().isEmpty()) scope->addAction(action);
    }
    connect(scope, &PcScopeWindow::close_requested, this, [this] {
        close_pc_scope();
        menu_refresh();
    });
    connect(scope, &PcScopeWindow::list_key_pressed, this, [this] { minute_timer_.start(); });
    move_to(*scope, s_.settings.scope_rect);
    cluster_.scope = scope;
    s_.link.line_processor().set_scope_consumer([this, scope](std::string_view line) {
        // Read once: the board takes the spot and the watch list checks it.
        const kestrel::ClusterLine read = kestrel::read_cluster_line(line);
        if (cluster_.spots.take_cluster_line(read, cluster_.clock())) scope->post_repaint();
        if (read.spot) scope->post_watch_check(*read.spot);
    });
    scope->show();
    scope->refresh();
}

void MainWindow::close_pc_scope() {
    if (!cluster_.scope) return;
    s_.link.line_processor().set_scope_consumer(nullptr);
    s_.settings.scope_rect = stored_rect(*cluster_.scope);
    kestrel::save_scope_rect(s_.file, s_.settings);
    retire(cluster_, cluster_.scope);
    cluster_.scope = nullptr;
}

// Timer 3. The ages the window shows go up every minute, so it is repainted whether or not
// a spot was dropped.
void MainWindow::minute_tick() {
    cluster_.spots.age_spots(cluster_.clock());
    if (cluster_.scope) cluster_.scope->refresh();
}

void MainWindow::cluster_options_command() {
    run_cluster_options_dialog(
        this, s_.settings, [this](bool on) { s_.store.set_bell(on); }, run_dialog);
}

void MainWindow::toggle_talk() {
    if (cluster_.talk) {
        close_talk();
    } else {
        open_talk();
    }
    menu_refresh();
}

void MainWindow::open_talk() {
    kestrel::load_talk_rect(s_.file, s_.settings);
    kestrel::load_talk_call_sign(s_.file, s_.settings);
    cluster_.talk_list.clear();  // the list belongs to the window
    auto* talk = new TalkWindow(cluster_.talk_list, s_.history);
    talk->set_state(s_.settings.talk_call_sign.view(), cluster_.base64, cluster_.callsign_filter);
    connect(talk, &TalkWindow::send_requested, this, &MainWindow::talk_send);
    connect(talk, &TalkWindow::close_requested, this, [this] {
        close_talk();
        menu_refresh();
    });
    // A macro picked with END in the TALK window goes to the chat line.
    connect(talk, &TalkWindow::macro_picker_requested, this, [this] { send_key_macro(true); });
    move_to(*talk, s_.settings.talk_rect);
    cluster_.talk = talk;
    s_.link.line_processor().set_talk_consumer(
        [talk](std::string_view line) { talk->post_line(line); });
    talk->show();
    talk->refresh(true);
}

void MainWindow::close_talk() {
    TalkWindow* talk = cluster_.talk;
    if (!talk) return;
    s_.link.line_processor().set_talk_consumer(nullptr);
    s_.settings.talk_rect = stored_rect(*talk);
    kestrel::save_talk_rect(s_.file, s_.settings);
    s_.settings.talk_call_sign.assign(talk->partner());
    cluster_.base64 = talk->base64();
    cluster_.callsign_filter = talk->callsign_filter();
    kestrel::save_talk_call_sign(s_.file, s_.settings);
    retire(cluster_, talk);
    cluster_.talk = nullptr;
}

// Every byte goes out through the keyboard's path, so a TNC that is not connected refuses
// each one with its own message. Only the message enters the command history, in plain
// text even when it was sent coded.
void MainWindow::talk_send() {
    TalkWindow* talk = cluster_.talk;
    if (!talk) return;
    const std::string message = talk->message();
    const std::string partner = talk->partner();
    const bool base64 = talk->base64();
    const kestrel::TalkRefusal refusal = kestrel::talk_refusal(message, partner, base64);
    if (refusal != kestrel::TalkRefusal::none) {
        window_message_box(talk, from_cp932(kestrel::refusal_text(refusal)),
                           QStringLiteral("Kestrel"), QMessageBox::Critical, QMessageBox::Ok,
                           run_dialog);
        return;
    }
    const std::string line = kestrel::talk_line(message, partner, base64);
    for (char c : line) s_.link.send_char(static_cast<std::uint8_t>(c));
    for (char c : message) s_.history.input_char(static_cast<std::uint8_t>(c));
    s_.history.input_char('\r');
    s_.history.set_recall_index(0);
    talk->clear_message();
    menu_refresh();
    if (s_.settings.port.local_echo != 0) {
        // The line as sent, without its CR; the intake lists it decoded.
        cluster_.talk_list.talk_intake(std::string_view(line).substr(0, line.size() - 1));
        talk->refresh(true);
    }
}

// At exit both windows store what their closing stores.
void MainWindow::close_cluster_windows() {
    close_pc_scope();
    close_talk();
}

}  // namespace kestrel::app
