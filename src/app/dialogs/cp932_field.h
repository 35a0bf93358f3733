#pragma once
// Edit fields whose text ends up in CP932 records: limits count CP932 bytes, the way the
// records measure them, and a cut never leaves half of a two-byte character behind.

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

class QLineEdit;

namespace kestrel {
class CommandHistory;
}

namespace kestrel::app {

QString from_cp932(std::string_view bytes);
std::string to_cp932(const QString& text);

// The longest prefix of CP932 `bytes` that fits in `max_bytes` with no character cut.
std::string_view cp932_prefix(std::string_view bytes, std::size_t max_bytes);

// The field's text in CP932, cut to `max_bytes` as above.
std::string cp932_text(const QLineEdit* field, std::size_t max_bytes);

// Typing or pasting beyond `max_bytes` CP932 bytes keeps as much of the insertion as fits;
// text put in by the program is cut to the limit as well.
void limit_cp932(QLineEdit* field, std::size_t max_bytes);
// The same for callsigns, whose letters typed or pasted become capitals.
void limit_callsign(QLineEdit* field, std::size_t max_bytes);
void set_cp932_text(QLineEdit* field, std::string_view bytes, std::size_t max_bytes);

// UP or DOWN (`key`) in a one-line field that recalls the command history: the older or
// newer line replaces the field's text. False, and nothing done, for any other key.
bool recall_into(QLineEdit* field, kestrel::CommandHistory& history, int key);

}  // namespace kestrel::app
