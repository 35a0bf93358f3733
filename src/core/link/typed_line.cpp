#include "core/link/typed_line.h"

#include "core/text/sjis.h"

namespace kestrel {

void TypedLine::mark(Mark m) {
    if (count_ < capacity) marks_[count_++] = m;
}

TypedLine::Echo TypedLine::add(std::uint8_t c) {
    if (lead_pending_) {
        lead_pending_ = false;
        if (lead_counted_) mark(trail);
        return {2, pending_lead_, c};
    }
    if (text::is_lead_byte(c)) {
        lead_pending_ = true;
        pending_lead_ = c;
        lead_counted_ = count_ + 2 <= capacity;
        if (lead_counted_) mark(lead);
        return {};
    }
    mark(single);
    return {1, c, 0};
}

int TypedLine::back_space() {
    if (count_ == 0 || lead_pending_) return 0;
    switch (marks_[count_ - 1]) {
        case single: count_ -= 1; return 1;
        case trail: {
            // A trail always follows its lead in the table; the guard keeps the count in
            // range should that ever not hold.
            const int n = count_ >= 2 ? 2 : 1;
            count_ -= n;
            return n;
        }
        default: return 0;  // the lead's trail has not been sent yet
    }
}

// A lead byte sent just before CR has no trail on this line: the byte after CR starts a
// character of its own.
void TypedLine::clear() {
    count_ = 0;
    lead_pending_ = false;
    lead_counted_ = false;
}

}  // namespace kestrel
