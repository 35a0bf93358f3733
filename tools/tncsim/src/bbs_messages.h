#pragma once
// The BBS's message store, generated from a seed: English and Japanese (Shift-JIS) messages.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace tncsim {

struct Message {
    int number = 0;
    std::string to;
    std::string from;
    std::time_t date = 0;
    std::string subject;            // Shift-JIS
    std::vector<std::string> body;  // Shift-JIS lines

    std::size_t size() const;
};

// Messages numbered 1 to count, oldest first, dated before now.
std::vector<Message> make_messages(int count, std::uint64_t seed, std::time_t now);

}  // namespace tncsim
