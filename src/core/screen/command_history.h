#pragma once
// A copy of what the operator types, beside the byte stream that goes to the TNC, so a
// finished line can be recalled with the arrow keys and sent again. UI thread only.

#include <array>
#include <cstdint>
#include <string_view>

namespace kestrel {

class CommandHistory {
public:
    static constexpr int slot_count = 20;
    static constexpr int slot_size = 162;
    static constexpr int max_typed = 160;

    // Records one typed byte in slot 0.
    void input_char(std::uint8_t c);

    void recall_older() {
        recall_index_ = recall_index_ < slot_count - 1 ? recall_index_ + 1 : recall_index_;
    }
    void recall_newer() { recall_index_ = recall_index_ > 0 ? recall_index_ - 1 : 0; }
    int recall_index() const { return recall_index_; }
    void set_recall_index(int index) {
        recall_index_ = index < 0 ? 0 : index >= slot_count ? slot_count - 1 : index;
    }

    std::string_view recalled_text() const { return slot(recall_index_); }
    std::string_view slot(int index) const;
    int typed_length() const { return typed_length_; }

private:
    enum ByteKind : std::uint8_t { single = 0, first_of_pair = 1, second_of_pair = 2 };

    std::array<std::array<char, slot_size>, slot_count> slots_{};
    std::array<std::uint8_t, max_typed> kinds_{};
    int typed_length_ = 0;
    bool pair_pending_ = false;
    int recall_index_ = 0;
};

}  // namespace kestrel
