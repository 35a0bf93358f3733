#pragma once
// One program run for a test: a settings file in a temporary directory (or none), the
// session and the main window, message boxes answered from a script and recorded.

#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <vector>

#include "app/shell/main_window.h"
#include "app/shell/session.h"

using namespace kestrel::app;

// A file's bytes; empty when it cannot be read.
QByteArray file_bytes(const QString& path);
// Clicks each button under `parent` whose text or accessible name is `name`.
void click_button(const QWidget* parent, const QString& name);

class GuiRig {
public:
    // `device` is what COM1 maps to; the other ports map to nothing that exists.
    static QString settings_text(const QString& device, const QString& extra = {});

    // Writes the settings file (unless `text` is empty: first start) and starts the program.
    void start(const QString& text);
    // Starts on settings with `device` as COM1 and `extra` appended.
    void start_on(const std::string& device, const QString& extra = {}) {
        start(settings_text(QString::fromStdString(device), extra));
    }

    // Ends the run, window then session, and starts again on the same settings file.
    void restart() {
        window_.reset();
        session_.reset();
        start({});
    }

    QString settings_path() const;
    Session& session() { return *session_; }
    MainWindow& window() { return *window_; }

    // Answers for the next message boxes; unscripted ones are answered OK / Yes.
    void answer(kestrel::MessageAnswer a) { answers_.push_back(a); }
    const std::vector<QtDesktop::Message>& messages() const { return messages_; }
    // How the next modal dialog of the shell ends: Cancel unless set.
    std::function<int(QDialog&)> on_dialog = [](QDialog& dialog) {
        dialog.reject();
        return int(QDialog::Rejected);
    };
    int dialogs_run = 0;
    // The device tree start-up reads instead of /sys, when set before `start`.
    std::string sysfs_root;

    // Runs posted work and a repaint frame.
    void settle();
    void key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
    void type(const QString& ascii);

    // The terminal pane's visible rows as Unicode.
    QString terminal_text() const { return window_->terminal_pane()->accessible_text(); }

private:
    // Destroyed in reverse: the window, then the session (whose hooks use the answers and
    // messages), then the directory.
    QTemporaryDir dir_;
    std::deque<kestrel::MessageAnswer> answers_;
    std::vector<QtDesktop::Message> messages_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<MainWindow> window_;
};
