#include "core/desktop/desktop.h"

namespace kestrel {

std::time_t system_now() { return std::time(nullptr); }

std::tm system_local_time(std::time_t t) {
    std::tm out{};
    localtime_r(&t, &out);
    return out;
}

}  // namespace kestrel
