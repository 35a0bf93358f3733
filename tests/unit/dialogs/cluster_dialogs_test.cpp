// The packet-cluster options and the PC scope's hand entry, driven through their controls.
#include <QLineEdit>

#include <gtest/gtest.h>

#include "app/dialogs/cluster_options_dialog.h"
#include "app/scope/hand_entry_dialog.h"
#include "dialog_driver.h"

using namespace kestrel::app;
using namespace kestrel::testing;

TEST(ClusterOptionsDialog, ClicksActAtOnceSmallScopeOnOkAndNoWayOutButOk) {
    kestrel::Settings settings;
    std::vector<bool> bells;
    std::vector<std::pair<int, int>> after;  // JST, BELL_ON after each click
    run_cluster_options_dialog(
        nullptr, settings, [&](bool on) { bells.push_back(on); },
        [&](QDialog& d) {
            EXPECT_TRUE(named<QAbstractButton>(d, "JST")->isChecked());
            EXPECT_FALSE(named<QAbstractButton>(d, "ﾍﾞﾙｺｰﾄﾞが来ても鳴らさない")->isChecked());
            for (const char* name :
                 {"UTC", "UTC", "JST", "ﾍﾞﾙｺｰﾄﾞが来ても鳴らさない", "ﾍﾞﾙｺｰﾄﾞが来ても鳴らさない"}) {
                click(d, name);
                after.emplace_back(settings.jst, settings.bell_on);
            }
            click(d, "ﾍﾞﾙｺｰﾄﾞが来ても鳴らさない");
            EXPECT_TRUE(named<QAbstractButton>(d, "ﾍﾞﾙｺｰﾄﾞが来ても鳴らさない")->isChecked());
            named<QAbstractButton>(d, "PCスコープを小さく表示する")->setChecked(true);
            EXPECT_EQ(settings.small_pc_scope, 0);  // taken by OK only
            // Escape and the close box do nothing.
            d.show();
            d.reject();
            EXPECT_FALSE(d.close());
            EXPECT_TRUE(d.isVisible());
            return end_with(d, "OK");
        });
    EXPECT_EQ(after, (std::vector<std::pair<int, int>>{{0, 1}, {0, 1}, {1, 1}, {1, 0}, {1, 1}}));
    EXPECT_EQ(bells, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(settings.bell_on, 0);
    EXPECT_EQ(settings.small_pc_scope, 1);
}

TEST(HandEntryDialog, FieldsLimitWhatIsTypedAndBuildTheSpot) {
    struct Field {
        const char *name, *typed, *shown;
    };
    const Field fields[] = {
        {"MHz", "x7", "7"},      // digits only
        {"KHz", "0055", "005"},  // three at most
        {"100Hz", "09", "0"},
        {"Callsign", "ja1xyz/pabcde", "JA1XYZ/PABCD"},  // upper case, twelve typed
        {"Remarks", "0123456789012345678901234567890", "0123456789012345678901234567"},
    };
    const std::time_t now = 1204677000;  // 2008-03-05 00:30 UTC
    std::optional<kestrel::Spot> spot = run_hand_entry_dialog(nullptr, now, [&](QDialog& d) {
        for (const Field& f : fields) {
            SCOPED_TRACE(f.name);
            QLineEdit* edit = named<QLineEdit>(d, f.name);
            type_text(edit, QString::fromUtf8(f.typed));
            EXPECT_EQ(edit->text(), QString::fromUtf8(f.shown));
        }
        return end_with(d, "OK");
    });
    ASSERT_TRUE(spot.has_value());
    EXPECT_EQ(spot->frequency.view(), "  7005.0");
    EXPECT_EQ(spot->callsign.view(), "JA1XYZ/PABC");                 // the first 11
    EXPECT_EQ(spot->remarks.view(), "012345678901234567890123456");  // the first 27
    EXPECT_EQ(spot->time.view(), "0030Z");
    EXPECT_EQ(spot->received, now);
    EXPECT_TRUE(spot->spotter.view().empty());

    // Empty each time it opens; Cancel adds nothing.
    EXPECT_FALSE(run_hand_entry_dialog(nullptr, now, [](QDialog& d) {
        EXPECT_TRUE(named<QLineEdit>(d, "Callsign")->text().isEmpty());
        return end_with(d, "ｷｬﾝｾﾙ");
    }));
}
