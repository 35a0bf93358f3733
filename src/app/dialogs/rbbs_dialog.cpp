#include "app/dialogs/rbbs_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCursor>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <mutex>

#include "app/dialogs/cp932_field.h"
#include "app/shell/menu_bar.h"

namespace kestrel::app {

namespace {

// What each field takes (CP932 bytes); the read command is stored one byte shorter than
// it can be typed.
constexpr std::size_t text_bytes = 80;
constexpr std::size_t read_field_bytes = 10;
constexpr std::size_t read_stored_bytes = 9;
constexpr std::size_t separator_bytes = 1;

std::unique_lock<std::mutex> lock_records(kestrel::RbbsShare* share) {
    return share ? std::unique_lock(share->records_mutex) : std::unique_lock<std::mutex>();
}

// Only a pointer the program may move: offscreen, Wayland and the like have none.
bool pointer_movable() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform == QLatin1String("windows") ||
           platform == QLatin1String("cocoa");
}

QPushButton* button(const QString& text, const QString& accessible_name = {}) {
    auto* b = new QPushButton(text);
    b->setAccessibleName(accessible_name.isEmpty() ? text : accessible_name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

RbbsDialog::RbbsDialog(kestrel::Settings& settings, int record, kestrel::RbbsShare* share,
                       QWidget* parent)
    : QDialog(parent), settings_(settings), share_(share) {
    setWindowTitle(QStringLiteral("ＲＢＢＳ プロパティー"));
    setAccessibleName(windowTitle());

    auto* grid = new QGridLayout;
    int row = 0;
    const auto add_row = [&](QLineEdit* field, QWidget* beside = nullptr) {
        auto* label = new QLabel(field->accessibleName());
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        if (beside) grid->addWidget(beside, row, 2);
        ++row;
    };

    key_name_ = add_field(QStringLiteral("割り当てるﾌｧﾝｸｼｮﾝｷｰ"), text_bytes);
    key_name_->setReadOnly(true);
    previous_ = button(QStringLiteral("前 (SHIFT+←)"));
    next_ = button(QStringLiteral("次 (SHIFT+→)"));
    auto* steps = new QHBoxLayout;
    steps->addWidget(previous_);
    steps->addWidget(next_);
    add_row(key_name_);
    grid->addLayout(steps, row - 1, 2);

    name_ = add_field(QStringLiteral("ＲＢＢＳ名"), text_bytes);
    add_row(name_);
    connect_command_ = add_field(QStringLiteral("コネクトコマンド(改行￥ｎ)"), text_bytes);
    send_connect_ = button(QStringLiteral("送信(SHIFT+↑)"));
    add_row(connect_command_, send_connect_);
    connect_file_ = add_field(QStringLiteral("コネクトﾌｧｲﾙ名"), text_bytes);
    upload_ = button(QStringLiteral("U/L(SHIFT+↓)"));
    add_row(connect_file_, upload_);
    const int prompt_row = row;  // the prompt wait stands beside the rows from here
    read_command_ = add_field(QStringLiteral("読み出しコマンド"), read_field_bytes);
    add_row(read_command_);

    auto* sort_box = new QGroupBox(QStringLiteral("並び替え"));
    sort_box->setAccessibleName(sort_box->title());
    auto* sort_row = new QHBoxLayout(sort_box);
    sort_ = new QButtonGroup(this);
    const QString sort_names[] = {QStringLiteral("なし"), QStringLiteral("昇順"),
                                  QStringLiteral("降順")};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(sort_names[i]);
        radio->setAccessibleName(sort_names[i]);
        sort_->addButton(radio, i);
        sort_row->addWidget(radio);
    }
    grid->addWidget(sort_box, row++, 1);
    separator_ = add_field(QStringLiteral("セパレーター"), separator_bytes);
    separator_->setMaximumWidth(separator_->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 4);
    add_row(separator_);
    saver_ = new QCheckBox(QStringLiteral("ﾍﾞﾙでｽｸﾘｰﾝｾｰﾊﾞｰを解除"));
    saver_->setAccessibleName(saver_->text());
    grid->addWidget(saver_, row++, 1);

    // In the button column, which these rows leave empty, so no field moves.
    auto* prompt_box = new QGroupBox(QStringLiteral("U/Lﾌﾟﾛﾝﾌﾟﾄ待ち"));
    prompt_box->setAccessibleName(prompt_box->title());
    auto* prompt_form = new QFormLayout(prompt_box);
    prompt_wait_ = add_field(QStringLiteral("ﾌﾟﾛﾝﾌﾟﾄ"), text_bytes);
    prompt_timeout_ = new QSpinBox;
    prompt_timeout_->setAccessibleName(QStringLiteral("ﾀｲﾑｱｳﾄ(秒)"));
    prompt_timeout_->setRange(1, kestrel::prompt_timeout_max);
    prompt_timeout_->installEventFilter(this);
    // Its text field is what an assistive tool meets first.
    prompt_timeout_->findChild<QLineEdit*>()->setAccessibleName(prompt_timeout_->accessibleName());
    prompt_form->addRow(prompt_wait_->accessibleName(), prompt_wait_);
    prompt_form->addRow(prompt_timeout_->accessibleName(), prompt_timeout_);
    grid->addWidget(prompt_box, prompt_row, 2, row - prompt_row, 1);

    extension_ = add_field(QStringLiteral("日付名D/Lﾌｧｲﾙ拡張子"), text_bytes);
    add_row(extension_);
    dl_start_ = add_field(QStringLiteral("日付名D/L開始文字列"), text_bytes);
    dl_start_valid_ = new QCheckBox(QStringLiteral("有効"));
    dl_start_valid_->setAccessibleName(dl_start_->accessibleName() + QStringLiteral(" 有効"));
    add_row(dl_start_, dl_start_valid_);
    dl_end_ = add_field(QStringLiteral("日付名D/L終了文字列"), text_bytes);
    dl_end_valid_ = new QCheckBox(QStringLiteral("有効"));
    dl_end_valid_->setAccessibleName(dl_end_->accessibleName() + QStringLiteral(" 有効"));
    add_row(dl_end_, dl_end_valid_);

    auto* unproto_box = new QGroupBox(QStringLiteral("ＵＮＰＲＯＴＯ"));
    unproto_box->setAccessibleName(unproto_box->title());
    auto* unproto_row = new QHBoxLayout(unproto_box);
    unproto_ = add_field(QStringLiteral("ＵＮＰＲＯＴＯ 文字列"), text_bytes);
    auto* send_unproto = button(QStringLiteral("送信"), QStringLiteral("ＵＮＰＲＯＴＯ 送信"));
    unproto_row->addWidget(new QLabel(QStringLiteral("Break +")));
    unproto_row->addWidget(unproto_);
    unproto_row->addWidget(new QLabel(QStringLiteral("K")));
    unproto_row->addWidget(send_unproto);

    auto* ok = button(QStringLiteral("OK"));
    auto* cancel = button(QStringLiteral("ｷｬﾝｾﾙ"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(unproto_box);
    layout->addLayout(buttons);

    connect(previous_, &QPushButton::clicked, this, [this] { step(-1); });
    connect(next_, &QPushButton::clicked, this, [this] { step(+1); });
    connect(send_connect_, &QPushButton::clicked, this, [this] { finish(RbbsDialogEnd::connect); });
    connect(upload_, &QPushButton::clicked, this, [this] { finish(RbbsDialogEnd::upload); });
    connect(send_unproto, &QPushButton::clicked, this, [this] { finish(RbbsDialogEnd::unproto); });
    connect(ok, &QPushButton::clicked, this, [this] { finish(RbbsDialogEnd::ok); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    make_current(record >= 0 && record < kestrel::rbbs_count ? record : 0);
    load();
}

QLineEdit* RbbsDialog::add_field(const QString& caption, std::size_t max_bytes) {
    auto* field = new QLineEdit;
    field->setAccessibleName(caption);
    field->setProperty("cp932_limit", qulonglong(max_bytes));
    limit_cp932(field, max_bytes);
    field->installEventFilter(this);
    return field;
}

void RbbsDialog::load() {
    const kestrel::RbbsRecord& r = settings_.rbbs[current_];
    key_name_->setText(QString::fromStdString(rbbs_key_name(current_)));
    const auto put = [](QLineEdit* field, std::string_view bytes) {
        set_cp932_text(field, bytes, field->property("cp932_limit").toULongLong());
    };
    put(name_, r.name.view());
    put(connect_command_, r.connect_command.view());
    put(connect_file_, r.connect_file.view());
    put(read_command_, r.read_command.view());
    put(separator_, r.separator.view());
    put(extension_, r.extension.view());
    put(dl_start_, r.dl_start.view());
    put(dl_end_, r.dl_end.view());
    put(unproto_, r.unproto.view());
    put(prompt_wait_, r.prompt_wait.view());
    prompt_timeout_->setValue(r.prompt_timeout);
    dl_start_valid_->setChecked(r.dl_start_valid != 0);
    dl_end_valid_->setChecked(r.dl_end_valid != 0);
    saver_->setChecked(r.saver != 0);
    sort_->button(r.sort == 1 || r.sort == 2 ? r.sort : 0)->setChecked(true);
}

void RbbsDialog::store() {
    kestrel::RbbsRecord r = settings_.rbbs[current_];
    r.name.assign(cp932_text(name_, text_bytes));
    r.connect_command.assign(cp932_text(connect_command_, text_bytes));
    r.connect_file.assign(cp932_text(connect_file_, text_bytes));
    r.read_command.assign(cp932_text(read_command_, read_stored_bytes));
    r.separator.assign(cp932_text(separator_, separator_bytes));
    r.extension.assign(cp932_text(extension_, text_bytes));
    r.dl_start.assign(cp932_text(dl_start_, text_bytes));
    r.dl_end.assign(cp932_text(dl_end_, text_bytes));
    r.unproto.assign(cp932_text(unproto_, text_bytes));
    r.prompt_wait.assign(cp932_text(prompt_wait_, text_bytes));
    r.prompt_timeout = prompt_timeout_->value();
    r.dl_start_valid = dl_start_valid_->isChecked() ? 1 : 0;
    r.dl_end_valid = dl_end_valid_->isChecked() ? 1 : 0;
    r.saver = saver_->isChecked() ? 1 : 0;
    r.sort = static_cast<std::int16_t>(std::max(sort_->checkedId(), 0));
    const auto lock = lock_records(share_);
    settings_.rbbs[current_] = r;
}

void RbbsDialog::make_current(int record) {
    current_ = record;
    const auto lock = lock_records(share_);
    settings_.default_fkey_no = record;
    if (share_) share_->current = record;
}

void RbbsDialog::step(int delta) {
    store();
    make_current((current_ + delta + kestrel::rbbs_count) % kestrel::rbbs_count);
    load();
}

void RbbsDialog::finish(RbbsDialogEnd end) {
    end_ = end;
    accept();
}

void RbbsDialog::accept() {
    store();
    QDialog::accept();
}

QPushButton* RbbsDialog::pointer_target() const {
    return settings_.rbbs[current_].connect_file.empty() ? send_connect_ : upload_;
}

// SHIFT with an arrow in any field acts as the button named for that arrow.
bool RbbsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // The arrows of the numeric pad carry the keypad flag on some systems.
        if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier) {
            QPushButton* target = nullptr;
            switch (key->key()) {
                case Qt::Key_Left: target = previous_; break;
                case Qt::Key_Right: target = next_; break;
                case Qt::Key_Up: target = send_connect_; break;
                case Qt::Key_Down: target = upload_; break;
                default: break;
            }
            if (target) {
                target->click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Enter in a field is only the end of typing there; the dialog stays open.
void RbbsDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter &&
        (qobject_cast<QLineEdit*>(focusWidget()) || qobject_cast<QSpinBox*>(focusWidget()))) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RbbsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    name_->setFocus();
    // After the layout has placed the buttons.
    QTimer::singleShot(0, this, &RbbsDialog::move_pointer);
}

void RbbsDialog::move_pointer() {
    if (!pointer_movable() || !isVisible()) return;
    QPushButton* target = pointer_target();
    QCursor::setPos(target->mapToGlobal(target->rect().center()));
}

RbbsDialogEnd run_rbbs_dialog(QWidget* parent, kestrel::Settings& settings, int record,
                              const std::function<int(QDialog&)>& run_dialog,
                              kestrel::RbbsShare* share) {
    const std::array<kestrel::RbbsRecord, kestrel::rbbs_count> saved = settings.rbbs;
    const int saved_current = settings.default_fkey_no;
    RbbsDialog dialog(settings, record, share, parent);
    if ((run_dialog ? run_dialog(dialog) : dialog.exec()) == QDialog::Accepted) {
        return dialog.end();
    }
    const auto lock = lock_records(share);
    settings.rbbs = saved;
    settings.default_fkey_no = saved_current;
    if (share) share->current = saved_current;
    return RbbsDialogEnd::cancel;
}

}  // namespace kestrel::app
