#include "app/dialogs/cp932_field.h"

#include <QLineEdit>
#include <QValidator>

#include "core/screen/command_history.h"
#include "core/text/sjis.h"

namespace kestrel::app {

namespace {

std::size_t cp932_size(const QString& text) { return to_cp932(text).size(); }

// Drops characters just before the cursor, which are the ones the edit has just inserted,
// until the text fits: a paste into a nearly full field keeps its head. Callsign fields
// turn a..z into capitals first.
class Cp932Limit : public QValidator {
public:
    Cp932Limit(std::size_t max_bytes, bool upper_case, QObject* parent)
        : QValidator(parent), max_(max_bytes), upper_case_(upper_case) {}

    State validate(QString& input, int& pos) const override {
        if (upper_case_) {
            for (QChar& c : input) {
                if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = c.toUpper();
            }
        }
        while (cp932_size(input) > max_) {
            if (pos <= 0) return Invalid;
            int from = pos - 1;
            if (from > 0 && input[from].isLowSurrogate()) --from;
            input.remove(from, pos - from);
            pos = from;
        }
        return Acceptable;
    }

private:
    std::size_t max_;
    bool upper_case_;
};

}  // namespace

QString from_cp932(std::string_view bytes) {
    return QString::fromStdString(kestrel::text::cp932_to_utf8(bytes));
}

std::string to_cp932(const QString& text) {
    return kestrel::text::utf8_to_cp932(text.toStdString());
}

std::string_view cp932_prefix(std::string_view bytes, std::size_t max_bytes) {
    std::size_t end = 0;
    while (end < bytes.size()) {
        const std::size_t width =
            kestrel::text::is_lead_byte(bytes[end]) && end + 1 < bytes.size() ? 2 : 1;
        if (end + width > max_bytes) break;
        end += width;
    }
    return bytes.substr(0, end);
}

std::string cp932_text(const QLineEdit* field, std::size_t max_bytes) {
    return std::string(cp932_prefix(to_cp932(field->text()), max_bytes));
}

void limit_cp932(QLineEdit* field, std::size_t max_bytes) {
    field->setValidator(new Cp932Limit(max_bytes, false, field));
}

void limit_callsign(QLineEdit* field, std::size_t max_bytes) {
    field->setValidator(new Cp932Limit(max_bytes, true, field));
}

void set_cp932_text(QLineEdit* field, std::string_view bytes, std::size_t max_bytes) {
    field->setText(from_cp932(cp932_prefix(bytes, max_bytes)));
}

bool recall_into(QLineEdit* field, kestrel::CommandHistory& history, int key) {
    if (key != Qt::Key_Up && key != Qt::Key_Down) return false;
    if (key == Qt::Key_Up) {
        history.recall_older();
    } else {
        history.recall_newer();
    }
    field->setText(from_cp932(history.recalled_text()));
    return true;
}

}  // namespace kestrel::app
