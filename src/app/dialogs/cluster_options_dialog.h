#pragma once
// "パケットクラスター関連": the clock zone of the status line, the bell, and the PC scope's
// small layout. The radio buttons and the bell box act at once; the small-layout box is
// taken by OK. There is no Cancel: Escape and the close box do nothing, OK is the way out.
// "ｳｫｯﾁﾘｽﾄ..." opens the spot watch list's editor (watch_list_dialog.h).

#include <QDialog>
#include <functional>

#include "core/settings/settings.h"

class QCheckBox;
class QRadioButton;

namespace kestrel::app {

class ClusterOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit ClusterOptionsDialog(kestrel::Settings& settings, QWidget* parent = nullptr);

    void accept() override;
    void reject() override {}

    // Runs the watch list's editor (default exec()).
    std::function<int(QDialog&)> run_dialog;

signals:
    // BELL_ON changed; the line store's bell follows it at once.
    void bell_changed(bool on);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void show_settings();

    kestrel::Settings& settings_;
    QRadioButton* jst_ = nullptr;
    QRadioButton* utc_ = nullptr;
    QCheckBox* silent_bell_ = nullptr;
    QCheckBox* small_scope_ = nullptr;
};

// Runs the dialog modally with `run` (default exec()); `bell_changed` hears each bell click.
void run_cluster_options_dialog(QWidget* parent, kestrel::Settings& settings,
                                const std::function<void(bool)>& bell_changed,
                                const std::function<int(QDialog&)>& run = {});

}  // namespace kestrel::app
