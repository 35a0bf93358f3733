#include "gui_rig.h"

#include <QAbstractButton>
#include <QFile>
#include <QTest>

QByteArray file_bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void click_button(const QWidget* parent, const QString& name) {
    for (QAbstractButton* b : parent->findChildren<QAbstractButton*>()) {
        if (b->text() == name || b->accessibleName() == name) b->click();
    }
}

QString GuiRig::settings_text(const QString& device, const QString& extra) {
    QString text = QStringLiteral("[RS232C]\r\nCOM_PORT=1\r\nADD_DSR=0\r\n[PORT_DEVICES]\r\n");
    for (int n = 1; n <= 8; ++n) {
        const QString path =
            n == 1 && !device.isEmpty() ? device : QStringLiteral("/nonexistent/tty%1").arg(n);
        text += QStringLiteral("COM%1=%2\r\n").arg(n).arg(path);
    }
    return text + extra;
}

QString GuiRig::settings_path() const { return dir_.filePath(QStringLiteral("kestrel.ini")); }

void GuiRig::start(const QString& text) {
    if (!text.isEmpty()) {
        QFile file(settings_path());
        file.open(QIODevice::WriteOnly);
        file.write(text.toUtf8());
    }
    session_ = std::make_unique<Session>(settings_path().toStdString());
    if (!sysfs_root.empty()) session_->sysfs_root = sysfs_root;
    session_->desktop.set_answer_hook([this](const QtDesktop::Message& message) {
        messages_.push_back(message);
        kestrel::MessageAnswer a = message.buttons == kestrel::MessageButtons::yes_no
                                       ? kestrel::MessageAnswer::yes
                                       : kestrel::MessageAnswer::ok;
        if (!answers_.empty()) {
            a = answers_.front();
            answers_.pop_front();
        }
        return std::optional<kestrel::MessageAnswer>(a);
    });
    window_ = std::make_unique<MainWindow>(*session_);
    window_->run_dialog = [this](QDialog& dialog) {
        ++dialogs_run;
        return on_dialog(dialog);
    };
    window_->start();
    settle();
}

void GuiRig::settle() {
    for (int i = 0; i < 3; ++i) session_->desktop.flush_now();
}

void GuiRig::key(Qt::Key key, Qt::KeyboardModifiers mods) {
    QTest::keyClick(window_->terminal_pane(), key, mods);
    settle();
}

void GuiRig::type(const QString& ascii) {
    QTest::keyClicks(window_->terminal_pane(), ascii);
    settle();
}
