#pragma once
// The ring by its indexes, for the few tests about the ring's own layout: the scroll file
// stores it in index order, and some receiver tests count lines across its end.

#include <mutex>

#include "core/screen/line_store.h"

namespace kestrel::testing {

struct RingAccess {
    [[nodiscard]] static std::unique_lock<std::mutex> lock(const LineStore& store) {
        return std::unique_lock(store.store_mutex());
    }
    // Lock held.
    static int current_line(const LineStore& store) { return store.current_line(); }
    static ScreenLine& line(LineStore& store, int index) { return store.line(index); }
};

}  // namespace kestrel::testing
