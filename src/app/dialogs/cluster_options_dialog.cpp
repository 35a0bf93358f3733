#include "app/dialogs/cluster_options_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/watch_list_dialog.h"

namespace kestrel::app {

ClusterOptionsDialog::ClusterOptionsDialog(kestrel::Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("パケットクラスター関連"));
    setAccessibleName(windowTitle());

    auto* clock = new QGroupBox(QStringLiteral("時刻表示"));
    jst_ = new QRadioButton(QStringLiteral("JST"));
    utc_ = new QRadioButton(QStringLiteral("UTC"));
    auto* clock_row = new QHBoxLayout(clock);
    clock_row->addWidget(jst_);
    clock_row->addWidget(utc_);
    silent_bell_ = new QCheckBox(QStringLiteral("ﾍﾞﾙｺｰﾄﾞが来ても鳴らさない"));
    small_scope_ = new QCheckBox(QStringLiteral("PCスコープを小さく表示する"));
    small_scope_->setChecked(settings.small_pc_scope == 1);
    auto* watch = new QPushButton(QStringLiteral("ｳｫｯﾁﾘｽﾄ..."));
    watch->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    const QList<QAbstractButton*> buttons{jst_, utc_, silent_bell_, small_scope_, watch, ok};
    for (QAbstractButton* b : buttons) b->setAccessibleName(b->text());

    connect(jst_, &QRadioButton::clicked, this, [this] {
        settings_.jst = 1;
        show_settings();
    });
    connect(utc_, &QRadioButton::clicked, this, [this] {
        settings_.jst = 0;
        show_settings();
    });
    connect(silent_bell_, &QCheckBox::clicked, this, [this] {
        settings_.bell_on = settings_.bell_on == 0 ? 1 : 0;
        show_settings();
        emit bell_changed(settings_.bell_on != 0);
    });
    connect(watch, &QPushButton::clicked, this,
            [this] { run_watch_list_dialog(this, settings_, run_dialog); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(clock);
    layout->addWidget(silent_bell_);
    layout->addWidget(small_scope_);
    auto* row = new QHBoxLayout;
    row->addWidget(watch);
    row->addStretch();
    row->addWidget(ok);
    layout->addLayout(row);
    show_settings();
}

// The controls follow the settings, not the clicks: a click on the checked radio button
// changes nothing, and the bell box shows BELL_ON's inverse.
void ClusterOptionsDialog::show_settings() {
    jst_->setChecked(settings_.jst != 0);
    utc_->setChecked(settings_.jst == 0);
    silent_bell_->setChecked(settings_.bell_on == 0);
}

void ClusterOptionsDialog::accept() {
    settings_.small_pc_scope = small_scope_->isChecked() ? 1 : 0;
    QDialog::accept();
}

void ClusterOptionsDialog::closeEvent(QCloseEvent* event) { event->ignore(); }

void run_cluster_options_dialog(QWidget* parent, kestrel::Settings& settings,
                                const std::function<void(bool)>& bell_changed,
                                const std::function<int(QDialog&)>& run) {
    ClusterOptionsDialog dialog(settings, parent);
    dialog.run_dialog = run;
    if (bell_changed) QObject::connect(&dialog, &ClusterOptionsDialog::bell_changed, bell_changed);
    run ? run(dialog) : dialog.exec();
}

}  // namespace kestrel::app
