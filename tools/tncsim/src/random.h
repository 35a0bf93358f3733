#pragma once
// splitmix64, so that a seed gives the same traffic with every compiler and standard library
// (the standard distributions may give other numbers with another standard library).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tncsim {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // A value from lo to hi, both included.
    int between(int lo, int hi) {
        const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
        return lo + static_cast<int>(next() % span);
    }

    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(next() % items.size())];
    }

private:
    std::uint64_t state_;
};

}  // namespace tncsim
