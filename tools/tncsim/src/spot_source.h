#pragma once
// Made-up cluster traffic from a seed. The k-th spot cycles through 4-, 5- and 6-digit kHz
// frequencies and, independently, the two announcement layouts, so any six consecutive
// announcements show every combination.

#include <cstdint>
#include <ctime>

#include "dx_format.h"
#include "random.h"

namespace tncsim {

class SpotSource {
public:
    explicit SpotSource(std::uint64_t seed);

    Spot next_spot(std::time_t now);
    DxLayout next_layout();
    Wwv next_wwv(std::time_t now);

private:
    Random random_;
    unsigned spots_ = 0;
    unsigned layouts_ = 0;
};

}  // namespace tncsim
