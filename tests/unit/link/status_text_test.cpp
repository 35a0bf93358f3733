#include "core/link/status_text.h"

#include <gtest/gtest.h>

#include "core/text/sjis.h"
#include "link_rig.h"
#include "temp_dir.h"

namespace kestrel {
namespace {

TEST(StatusText, ClockInJstOrUtcAndTheCaptureName) {
    testing::LinkDesktop desktop;
    LineStore store{desktop};
    Capture capture{desktop, store};
    desktop.set_now(1204677000);  // Wed 2008-03-05 00:30:00 UTC, 09:30 JST
    EXPECT_EQ(status_text(desktop, 1, 1, capture),
              "Kestrel  COM1:  Wed Mar 05 09:30:00 2008\n (JST)");
    EXPECT_EQ(status_text(desktop, 0, 8, capture),
              "Kestrel  COM8:  Wed Mar 05 00:30:00 2008\n (UTC)");
    desktop.set_now(1204673400);  // 08:30 JST: the previous day in UTC
    EXPECT_EQ(status_text(desktop, 0, 0, capture),
              "Kestrel  COM ?  Tue Mar 04 23:30:00 2008\n (UTC)");

    testing::TempDir dir;
    ASSERT_TRUE(capture.start_date_named_download(dir.path(), "txt"));
    // The file is named from the desktop's local date (the fake's local time is UTC).
    EXPECT_EQ(text::cp932_to_utf8(status_text(desktop, 1, 2, capture)),
              "Kestrel  COM2:  Wed Mar 05 08:30:00 2008\n (JST)  D/L中 ->> 080304.txt ");
}

}  // namespace
}  // namespace kestrel
