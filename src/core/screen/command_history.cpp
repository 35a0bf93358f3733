#include "core/screen/command_history.h"

#include <cstring>

#include "core/text/sjis.h"

namespace kestrel {

std::string_view CommandHistory::slot(int index) const {
    const auto& text = slots_[static_cast<std::size_t>(index)];
    return {text.data(), ::strnlen(text.data(), text.size())};
}

void CommandHistory::input_char(std::uint8_t c) {
    auto& typed = slots_[0];
    switch (c) {
        case 8:
            if (typed_length_ == 0) return;
            // A lone first byte is left alone: its partner has not been typed yet.
            if (kinds_[typed_length_ - 1] == single) {
                typed[--typed_length_] = 0;
            } else if (kinds_[typed_length_ - 1] == second_of_pair && typed_length_ >= 2) {
                typed_length_ -= 2;
                typed[typed_length_] = 0;
            }
            return;
        case 13:
            for (int i = slot_count - 1; i >= 1; --i) slots_[i] = slots_[i - 1];
            typed.fill(0);
            typed_length_ = 0;
            return;
        case 27: return;
        default: break;
    }
    std::uint8_t kind;
    if (!pair_pending_ && text::is_lead_byte(c)) {
        kind = first_of_pair;
        pair_pending_ = true;
    } else {
        kind = pair_pending_ ? second_of_pair : single;
        pair_pending_ = false;
    }
    kinds_[typed_length_] = kind;
    typed[typed_length_] = static_cast<char>(c);
    typed[typed_length_ + 1] = 0;
    // The 160th byte is overwritten by every further one; the TNC still gets them all.
    if (++typed_length_ == max_typed) typed_length_ = max_typed - 1;
}

}  // namespace kestrel
