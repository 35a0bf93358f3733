#pragma once
// Callsign fields: what is typed shows in upper case, and the field takes at most a given
// number of CP932 bytes.

#include <cstddef>

class QLineEdit;

namespace kestrel::app {

// Letters typed or pasted become capitals; beyond `max_bytes` CP932 bytes the rest of an
// insertion is dropped, never half a two-byte character.
void limit_callsign(QLineEdit* field, std::size_t max_bytes);

}  // namespace kestrel::app
