// A bell wakes the screen only for a record that asks, and a burst wakes it once a second.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/screen/line_store.h"
#include "fake_desktop.h"

using namespace kestrel;

TEST(SaverRelease, BellsReleaseAtMostOncePerSecond) {
    const struct {
        const char* name;
        bool saver;
        std::vector<std::pair<int, int>> rings;  // (second of the clock, bells in it)
        int releases;
    } cases[] = {
        {"a record without SAVER", false, {{0, 100}, {1, 1}}, 0},
        {"a hundred bells in one second", true, {{0, 100}}, 1},
        {"a burst, a quiet second, one more bell", true, {{0, 100}, {2, 1}}, 2},
        {"a bell every second", true, {{0, 1}, {1, 1}, {2, 1}}, 3},
        {"a clock set back an hour", true, {{0, 50}, {-3600, 50}}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        kestrel::testing::FakeDesktop desktop;
        LineStore store(desktop);
        store.set_bell_releases_saver(c.saver);
        for (const auto& [second, bells] : c.rings) {
            desktop.set_now(1204707847 + second);
            store.put_text(std::string(bells, '\a'));
        }
        EXPECT_EQ(desktop.saver_releases(), c.releases);
    }
}
