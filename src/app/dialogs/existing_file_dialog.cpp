#include "app/dialogs/existing_file_dialog.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kestrel::app {

ExistingFileDialog::ExistingFileDialog(bool overwrite, QWidget* parent)
    : QDialog(parent), overwrite_(overwrite) {
    setWindowTitle(QStringLiteral("ダウンロード"));
    setAccessibleName(windowTitle());
    auto* text = new QLabel(QStringLiteral("そのファイルは既にあります"));
    setAccessibleDescription(text->text());

    // The access keys without changing the texts: Alt+A and Alt+O.
    auto* append = new QRadioButton(QStringLiteral("追加"));
    append->setShortcut(QKeySequence(Qt::ALT | Qt::Key_A));
    auto* replace = new QRadioButton(QStringLiteral("上書き"));
    replace->setShortcut(QKeySequence(Qt::ALT | Qt::Key_O));
    auto* choice = new QButtonGroup(this);
    choice->addButton(append, 0);
    choice->addButton(replace, 1);
    for (auto* b : {append, replace}) b->setAccessibleName(b->text());
    (overwrite ? replace : append)->setChecked(true);
    connect(choice, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) overwrite_ = id == 1;
    });

    auto* ok = new QPushButton(QStringLiteral("ＯＫ"));
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"));
    for (auto* b : {ok, cancel}) b->setAccessibleName(b->text());
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(append);
    layout->addWidget(replace);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    ok->setFocus();
}

bool run_existing_file_dialog(QWidget* parent, bool& overwrite,
                              const std::function<int(QDialog&)>& run_dialog) {
    ExistingFileDialog dialog(overwrite, parent);
    const int result = run_dialog ? run_dialog(dialog) : dialog.exec();
    overwrite = dialog.overwrite();
    return result == QDialog::Accepted;
}

}  // namespace kestrel::app
