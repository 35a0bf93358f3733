#include "app/shell/main_window.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <mutex>

#include "app/dialogs/font_dialog.h"
#include "app/shell/command_ids.h"
#include "core/link/port_names.h"
#include "core/link/status_text.h"
#include "core/screen/scroll_file.h"
#include "core/settings/settings_io.h"
#include "core/text/sjis.h"

namespace kestrel::app {

namespace {

constexpr int status_period_ms = 1000;
constexpr int minute_period_ms = 60000;

QString to_screen(std::string_view cp932) {
    return QString::fromStdString(kestrel::text::cp932_to_utf8(cp932));
}

}  // namespace

MainWindow::MainWindow(Session& session)
    : s_(session),
      context_{session.store, session.backscroll, session.settings, {}, {}},
      input_(session.link, session.history, session.capture, session.store, session.backscroll,
             session.settings, session.desktop) {
    setWindowTitle(QStringLiteral("Kestrel "));
    setObjectName(QStringLiteral("Kestrel "));
    setAccessibleName(QStringLiteral("Kestrel"));
    s_.desktop.set_owner(this);
    // The desktop's own dialogs (the existing-file question) run the way the shell's do.
    s_.desktop.set_dialog_runner([this](QDialog& dialog) { return run_dialog(dialog); });
    input_.continuous_read = [this] { return rbbs_.continuous_read(); };

    const auto dispatcher = [this](int id) { dispatch(id); };
    menu_ = build_menu_bar(menuBar(), command_table(), dispatcher);
    for (QMenu* menu : menu_.menus) {
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::init_menu_popup);
    }
    tool_bar_ = build_tool_bar(this, dispatcher);
    addToolBar(Qt::TopToolBarArea, tool_bar_.bar);

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setAutoFillBackground(true);
    QPalette palette = client_->palette();
    palette.setColor(QPalette::Window, frame_grey);
    client_->setPalette(palette);
    client_->installEventFilter(this);
    setCentralWidget(client_);

    terminal_ = new TerminalPane(context_, *this, client_);
    backscroll_pane_ = new BackscrollPane(
        context_,
        [this](kestrel::ScrollRequest request, int position) {
            input_.scroll_bar(request, position);
            backscroll_pane_->sync_thumb();
        },
        client_);
    backscroll_pane_->hide();
    // The wheel over the back-scroll pane or its bar moves as the main frame's wheel does.
    backscroll_pane_->installEventFilter(this);
    backscroll_pane_->scroll_bar()->installEventFilter(this);
    setFocusProxy(terminal_);

    break_timer_.setSingleShot(true);
    connect(&break_timer_, &QTimer::timeout, this, [this] { s_.link.end_break(); });
    connect(&status_timer_, &QTimer::timeout, this, &MainWindow::status_tick);
    // The PC scope's minute tick ages its spots and refreshes the window.
    connect(&minute_timer_, &QTimer::timeout, this, &MainWindow::minute_tick);

    connect(&s_.desktop, &QtDesktop::repaint_due, this, &MainWindow::on_repaint_due);
    connect(&s_.desktop, &QtDesktop::menu_refresh_due, this, &MainWindow::menu_refresh);
    connect(&s_.desktop, &QtDesktop::split_view_due, this, &MainWindow::on_split_view_due);

    apply_font();
    apply_colours();
}

MainWindow::~MainWindow() {
    shutdown();
    // The panes report focus changes to this window: they go while it is still whole.
    delete client_;
    s_.desktop.set_owner(nullptr);
}

void MainWindow::start(bool show_window) {
    kestrel::Settings& settings = s_.settings;
    {
        // The receiver reads the RBBS records and the download folder under this lock.
        std::lock_guard records(s_.link.rbbs().records_mutex);
        kestrel::load_settings(s_.file, settings);
    }
    kestrel::load_external_programs(s_.file, settings);
    external_program_labels();
    kestrel::load_default_fkey_no(s_.file, settings);
    s_.link.rbbs().current = settings.default_fkey_no;
    if (const std::string problem = s_.file.access_problem(); !problem.empty()) {
        s_.desktop.tell(problem, kestrel::MessageIcon::warning);
    }
    s_.store.set_time_stamp(settings.time_stamp != 0);
    s_.store.set_bell(settings.bell_on != 0);
    s_.store.set_bell_releases_saver(settings.rbbs[settings.default_fkey_no].saver != 0);

    if (!s_.file.exists()) {
        if (s_.name_from_command_line) {
            s_.desktop.message_box(kestrel::text::sjis(s_.file.name() + " 新しい INI ファイルです"),
                                   " ", kestrel::MessageIcon::none, kestrel::MessageButtons::ok);
        }
        rs232c_command();
        kestrel::save_settings(s_.file, settings, s_.desktop);
    } else if (port_lacks_device()) {
        rs232c_command(true);
    } else if (s_.link.open_port()) {
        start_status_timer();
    }
    report_windows_paths();
    minute_timer_.start(minute_period_ms);

    kestrel::load_scroll_file(s_.store, s_.file.scroll_file_path(), s_.desktop);

    kestrel::load_window_colours_macros(s_.file, settings);
    apply_font();
    apply_colours();
    tool_bar_.bar->setVisible(settings.tool_bar != 0);
    const kestrel::Rect& r = settings.window;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w > 0 && h > 0) {
        // The rectangle saved at shutdown is geometry(), the window without its frame:
        // restored the same way, or the window creeps by the frame at each start.
        setGeometry(r.left, r.top, w, h);
    } else {
        resize(640, 480);
    }
    update_rbbs_label();
    rbbs_menu_labels();
    menu_refresh();
    if (show_window) {
        show();
        terminal_->setFocus();
    }
    layout_panes(false);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    shutdown();
    event->accept();
}

void MainWindow::shutdown() {
    if (shut_down_) return;
    shut_down_ = true;
    kestrel::save_scroll_file(s_.store, s_.file.scroll_file_path(), s_.desktop);
    // The same rectangle start() restores with setGeometry(); LEFT/TOP below 0 are written
    // as 0.
    const QRect window = geometry();
    s_.settings.window = {window.left(), window.top(), window.right() + 1, window.bottom() + 1};
    kestrel::save_window_and_fkey_no(s_.file, s_.settings);
    // The PC scope and TALK windows store their rectangles (and the TALK partner) as their
    // closing does; the receiver stops feeding them.
    close_cluster_windows();
    // DTR down, the port closed (its receiver joined), then the capture file: nothing
    // received can reach it any more. The upload file, when there is one, comes later.
    s_.link.clear_dtr();
    s_.link.close_port();
    // The core's close without the end-of-download beep (its name is for its first user).
    if (s_.capture.is_open()) s_.capture.close();
    // Then the upload: its worker is woken wherever it waits (paused, sleeping, a full
    // queue) and joined; its file goes with it.
    upload_.stop();
    close_upload_window();
    break_timer_.stop();
    status_timer_.stop();
    minute_timer_.stop();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) layout_panes(false);
    if (event->type() == QEvent::Wheel &&
        (watched == backscroll_pane_ || watched == backscroll_pane_->scroll_bar())) {
        auto* wheel_event = static_cast<QWheelEvent*>(event);
        wheel(wheel_event->angleDelta().y(), wheel_event->modifiers());
        wheel_event->accept();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// Pane width: the scroll bar plus 81 cells, or the whole client when that is narrower. In
// split view the back-scroll pane takes `kyokai` rows and two pixels, then one grey pixel,
// then the terminal pane. `minus_two` is the rule after a divider move, the font dialog
// and entering split view: the terminal's rows are counted in two pixels less.
void MainWindow::layout_panes(bool minus_two) {
    const CellMetrics& cells = context_.painter.cells();
    const int client_width = client_->width();
    const int client_height = client_->height();
    const int pane_width =
        std::min(BackscrollPane::scroll_bar_width() + 81 * cells.width, client_width);
    // The stored `kyokai` is what the operator chose; the pane shows as many of those rows
    // as leave the terminal pane two rows (the divider-down rule), and at least one. Three
    // pixels go to the pane's two and the grey line, two more to the `minus_two` count.
    const int fitting = (client_height - 5 - 2 * cells.height) / cells.height;
    const int kyokai = std::max(std::min(std::max(s_.settings.kyokai, 1), fitting), 1);
    int terminal_height = client_height;
    if (s_.backscroll.split_view()) {
        const int backscroll_height = kyokai * cells.height + 2;
        backscroll_pane_->setGeometry(0, 0, pane_width, backscroll_height);
        backscroll_pane_->show();
        terminal_height = client_height - backscroll_height;
        terminal_->setGeometry(0, backscroll_height + 1, pane_width,
                               std::max(terminal_height - 1, 0));
        backscroll_pane_->set_margin(backscroll_height % cells.height - 2);
        backscroll_pane_->sync_thumb();
    } else {
        backscroll_pane_->hide();
        terminal_->setGeometry(0, 0, pane_width, client_height);
    }
    s_.backscroll.set_rows(kyokai);

    const int counted = std::max(terminal_->height() - (minus_two ? 2 : 0), 0);
    const int rows = std::max(counted / cells.height, 1);
    terminal_->set_margin(counted >= cells.height ? counted % cells.height : 0);
    if (!first_sized_ && isVisible() && terminal_->height() >= cells.height) {
        first_sized_ = true;
        s_.store.first_sized(rows);
    } else {
        s_.store.set_terminal_rows(rows);
    }
    repaint_both();
}

void MainWindow::apply_font() {
    const QFont font = kestrel_font(s_.settings);
    context_.painter.set_font(font, measure_cells(font));
}

void MainWindow::apply_colours() { context_.colours = ScreenColours::from(s_.settings); }

void MainWindow::repaint_both() {
    terminal_->update();
    if (backscroll_pane_->isVisible()) backscroll_pane_->update();
}

void MainWindow::on_repaint_due(bool terminal, bool backscroll) {
    if (terminal) terminal_->store_repainted();
    if (backscroll && backscroll_pane_->isVisible()) {
        backscroll_pane_->sync_thumb();
        backscroll_pane_->update();
        notify_pane_text_changed(backscroll_pane_);
    }
}

void MainWindow::on_split_view_due(bool) {
    layout_panes(s_.backscroll.split_view());
    menu_refresh();
}

void MainWindow::rbbs_menu_labels() {
    for (int record = 0; record < kestrel::rbbs_count; ++record) {
        menu_.item(command::rbbs_item(record))
            ->setText(to_screen(rbbs_menu_label(record, s_.settings.rbbs[record].name.view())));
    }
}

void MainWindow::external_program_labels() {
    for (int i = 0; i < kestrel::external_program_count; ++i) {
        const QString heading = to_screen(s_.settings.external_programs[i].name.view());
        menu_.item(command::program_1 + i)
            ->setText(heading + QStringLiteral("\tALT+%1").arg(i + 1));
    }
    show_program_tips(tool_bar_, to_screen(s_.settings.external_programs[0].name.view()),
                      to_screen(s_.settings.external_programs[1].name.view()));
}

// " <%s>  " with the key name, the name and two blanks, filled to 40 characters.
void MainWindow::update_rbbs_label() {
    const int record = s_.settings.default_fkey_no;
    std::string text = " <" + rbbs_key_name(record) + ">  ";
    text.append(s_.settings.rbbs[record].name.view());
    text.append("  ");
    text.resize(40, ' ');
    QFont font = context_.painter.font();
    font.setPixelSize(14);
    tool_bar_.rbbs_label->setFont(font);
    // The blanks that fill it to 40 only overwrite a longer label drawn before.
    tool_bar_.rbbs_label->setText(to_screen(text).trimmed());
    s_.store.set_bell_releases_saver(s_.settings.rbbs[record].saver != 0);
}

void MainWindow::select_record(int record) {
    s_.settings.default_fkey_no =
        (record % kestrel::rbbs_count + kestrel::rbbs_count) % kestrel::rbbs_count;
    s_.link.rbbs().current = s_.settings.default_fkey_no;
    update_rbbs_label();
}

void MainWindow::start_status_timer() { status_timer_.start(status_period_ms); }

void MainWindow::status_tick() {
    const int port = s_.settings.port.port_number;
    setWindowTitle(to_screen(kestrel::status_text(s_.desktop, s_.settings.jst, port, s_.capture)));
    // A screen reader reads a window's new name out, so the name is the status without its
    // clock: it changes, and Qt announces it, when the port or the capture does, not at
    // every tick (setAccessibleName sends the name-changed event even for the same name).
    QString spoken = QStringLiteral("Kestrel  ") + to_screen(kestrel::port_name(port));
    if (s_.capture.is_open()) {
        spoken += QStringLiteral("  D/L中 ->> ") + to_screen(s_.capture.file_name());
    }
    if (spoken != accessibleName()) setAccessibleName(spoken);
    // The in-progress window outlives its upload by at most this second.
    if (!uploading()) close_upload_window();
}

}  // namespace kestrel::app
