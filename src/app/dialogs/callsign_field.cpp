#include "app/dialogs/callsign_field.h"

#include <QLineEdit>
#include <QValidator>

#include "app/dialogs/cp932_field.h"

namespace kestrel::app {

namespace {

class CallsignValidator : public QValidator {
public:
    CallsignValidator(std::size_t max_bytes, QObject* parent)
        : QValidator(parent), max_(max_bytes) {}

    State validate(QString& input, int& pos) const override {
        for (QChar& c : input) {
            if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = c.toUpper();
        }
        // The characters just before the cursor are the ones just inserted.
        while (to_cp932(input).size() > max_) {
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
};

}  // namespace

void limit_callsign(QLineEdit* field, std::size_t max_bytes) {
    field->setValidator(new CallsignValidator(max_bytes, field));
}

}  // namespace kestrel::app
