#pragma once
// Made-up cluster traffic from a seed. The k-th spot cycles through 4-, 5- and 6-digit kHz
// frequencies and, independently, the announcement layouts it is given, so with the wide and
// narrow layouts any six consecutive announcements show every combination.

#include <cstdint>
#include <ctime>
#include <vector>

#include "dx_format.h"
#include "random.h"

namespace tncsim {

class SpotSource {
public:
    // `layouts` must not be empty.
    SpotSource(std::uint64_t seed, std::vector<DxLayout> layouts);

    Spot next_spot(std::time_t now);
    DxLayout next_layout();
    Wwv next_wwv(std::time_t now);

private:
    Random random_;
    std::vector<DxLayout> layouts_;
    unsigned spots_ = 0;
    unsigned announced_ = 0;
};

}  // namespace tncsim
