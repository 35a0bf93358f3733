#pragma once
// What send_char remembers of the bytes sent since the last CR, so that BS takes back a
// whole double-byte character. Used by the UI thread only.

#include <array>
#include <cstdint>

namespace kestrel {

class TypedLine {
public:
    static constexpr int capacity = 3240;

    enum Mark : std::uint8_t { single = 0, lead = 1, trail = 2 };

    // What a typed byte asks to be echoed: nothing, the byte itself, or a completed
    // double-byte character (`first` then `second`).
    struct Echo {
        int count = 0;
        std::uint8_t first = 0, second = 0;
    };
    // A printable byte (TAB or 0x20 and above) that was sent.
    Echo add(std::uint8_t c);
    // How many BS bytes a typed BS sends and echoes: 0, 1 or 2.
    int back_space();
    // The line ended (CR): nothing is left to take back, and a lead byte still waiting
    // for its trail is forgotten.
    void clear();

    int count() const { return count_; }
    bool lead_pending() const { return lead_pending_; }

private:
    void mark(Mark m);

    // Past `capacity` bytes counting stops: those bytes are still sent and echoed, but BS
    // no longer takes them back. A lead byte is counted only with room for its trail.
    std::array<std::uint8_t, capacity> marks_{};
    int count_ = 0;
    bool lead_pending_ = false;
    bool lead_counted_ = false;
    std::uint8_t pending_lead_ = 0;
};

}  // namespace kestrel
