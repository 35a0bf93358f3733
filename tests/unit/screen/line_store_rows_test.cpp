// The pane's row count comes from the window's height; the ring is what bounds it.

#include <gtest/gtest.h>

#include "core/screen/line_store.h"
#include "fake_desktop.h"

namespace kestrel {
namespace {

TEST(LineStoreRows, ATerminalTallerThanTheRingIsHeldToTheRing) {
    for (bool first : {true, false}) {
        SCOPED_TRACE(first ? "first_sized" : "set_terminal_rows");
        testing::FakeDesktop desktop;
        LineStore store(desktop);
        if (first) {
            store.first_sized(LineStore::line_count + 1000);
        } else {
            store.set_terminal_rows(1 << 30);
        }
        EXPECT_EQ(store.terminal_rows(), LineStore::line_count);
        EXPECT_EQ(store.cursor_row(), LineStore::line_count - 1);
        store.put_text("tall\r");  // the cursor line is inside the ring
    }
}

}  // namespace
}  // namespace kestrel
