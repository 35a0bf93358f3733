#include "app/dialogs/font_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

#include "app/dialogs/dialog_buttons.h"
#include "core/text/sjis.h"

namespace kestrel::app {

namespace {

// Even, so that a full-width fallback glyph is exactly two half-width cells.
constexpr int fixed_font_pixels = 16;

// The stored size is a character height: the cell height the dialog shows and stores, not
// the glyph size, which is smaller than its cell. The largest pixel size whose cell fits in
// `height`, so that the dialog's OK stores back the height it showed; a height no pixel size
// fits in gets the smallest.
int pixels_for_cell_height(QFont font, int height) {
    int pixels = height;
    for (; pixels > 1; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() <= height) break;
    }
    return pixels;
}

}  // namespace

QFont kestrel_font(const kestrel::Settings& settings) {
    QFont font;
    if (settings.font_type == 0) {
        const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setFamilies({fixed.family(), QStringLiteral("IPAGothic")});
        font.setStyleHint(QFont::TypeWriter);
        font.setPixelSize(fixed_font_pixels);
    } else {
        if (settings.font_type == 1) {
            font.setFamilies({QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho")});
            font.setStyleHint(QFont::Serif);
        } else {
            font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")});
            font.setStyleHint(QFont::TypeWriter);
        }
        // A size the font cannot take falls back to a usable one without a word.
        const int size = settings.log_font_y;
        font.setPixelSize(size > 0 ? pixels_for_cell_height(font, std::min(size, 200))
                                   : fixed_font_pixels);
    }
    font.setFixedPitch(true);
    font.setKerning(false);
    return font;
}

FontDialog::FontDialog(const kestrel::Settings& settings, QWidget* parent,
                       kestrel::Desktop* desktop)
    : QDialog(parent), desktop_(desktop), kind_(settings.font_type) {
    setWindowTitle(QStringLiteral("文字の大きさ"));
    setAccessibleName(windowTitle());

    kinds_ = new QButtonGroup(this);
    auto* kinds_row = new QHBoxLayout;
    const QStringList labels = {QStringLiteral("FixedSys "), QStringLiteral("明朝"),
                                QStringLiteral("ゴシック")};
    for (int kind = 0; kind < 3; ++kind) {
        auto* button = new QRadioButton(labels[kind]);
        button->setAccessibleName(labels[kind].trimmed());
        kinds_->addButton(button, kind);
        kinds_row->addWidget(button);
    }
    if (auto* current = kinds_->button(kind_)) current->setChecked(true);
    connect(kinds_, &QButtonGroup::idClicked, this, &FontDialog::choose_kind);

    // The field shows the measured cell height, not the stored size.
    const int char_height = QFontMetrics(kestrel_font(settings)).height();
    size_ = new QLineEdit(QString::number(char_height));
    size_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,2}")), this));
    size_->setFixedWidth(size_->fontMetrics().horizontalAdvance("000") + 12);
    auto* unit = new QLabel(QStringLiteral("dot"));
    size_->setAccessibleName(QStringLiteral("文字の大きさ (dot)"));
    unit->setBuddy(size_);
    auto* size_row = new QHBoxLayout;
    size_row->addWidget(size_);
    size_row->addWidget(unit);
    size_row->addStretch();

    margin_ = new QCheckBox(QStringLiteral("ﾊﾞｯｸｽｸﾛｰﾙ画面の左端をあける"));
    margin_->setAccessibleName(margin_->text());
    margin_->setChecked(settings.bs_yohaku != 0);

    auto* buttons = new QHBoxLayout;
    add_ok_cancel(this, buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(kinds_row);
    layout->addLayout(size_row);
    layout->addWidget(margin_);
    layout->addLayout(buttons);

    if (kind_ == 1 || kind_ == 2) size_->setFocus();
}

std::int32_t FontDialog::font_size() const {
    bool number = false;
    const uint size = size_->text().toUInt(&number);
    return number ? static_cast<std::int32_t>(size) : 0;
}

bool FontDialog::left_margin() const { return margin_->isChecked(); }

void FontDialog::choose_kind(int kind) {
    kind_ = kind;
    if (kind != 0) size_->setFocus();
}

void FontDialog::accept() {
    if ((kind_ == 1 || kind_ == 2) && font_size() == 0) {
        if (desktop_) {
            desktop_->message_box(kestrel::text::sjis("文字の大きはゼロにできません"), "Kestrel",
                                  kestrel::MessageIcon::none, kestrel::MessageButtons::ok);
            return;
        }
        QMessageBox refusal(QMessageBox::NoIcon, QStringLiteral("Kestrel"),
                            QStringLiteral("文字の大きはゼロにできません"), QMessageBox::Ok, this);
        refusal.exec();
        return;
    }
    QDialog::accept();
}

bool run_font_dialog(QWidget* parent, kestrel::Settings& settings, kestrel::Desktop* desktop,
                     const std::function<int(QDialog&)>& run) {
    FontDialog dialog(settings, parent, desktop);
    if ((run ? run(dialog) : dialog.exec()) != QDialog::Accepted) return false;
    settings.font_type = dialog.font_kind();
    settings.log_font_y = dialog.font_size();
    settings.bs_yohaku = dialog.left_margin() ? 1 : 0;
    return true;
}

}  // namespace kestrel::app
