#include "core/cluster/watch_list.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(WatchList, MatchesCallsignsPrefixesAndWildcards) {
    const struct Row {
        const char* list;
        const char* callsign;  // as a spot holds it: 11 columns, trailing blanks
        bool watched;
    } rows[] = {
        {"JA1ABC", "JA1ABC     ", true}, {"ja1abc", "JA1ABC     ", true},
        {"JA1AB", "JA1ABC     ", false},  // a call without `*` is the whole call
        {"JA1*", "JA1ABC     ", true},   {"JA1*", "JA2ABC     ", false},
        {"*ABC", "JA1ABC     ", true},   {"J*1*C", "JA1ABC     ", true},
        {"J*1*D", "JA1ABC     ", false}, {"K1ABC, VK9*  3D2*", "3D2AG      ", true},
        {"JA1ABC", "JA1ABC/P   ", true},                               // any part between "/"
        {"VK9*", "VK9/JA1ABC ", true},   {"*", "           ", false},  // no callsign, no alarm
        {"", "JA1ABC     ", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.list) + " / " + row.callsign);
        EXPECT_EQ(watch_list_matches(row.list, row.callsign), row.watched);
    }
}

}  // namespace
}  // namespace kestrel
