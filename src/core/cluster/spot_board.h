#pragma once
// The PC scope's shared state: the spot list, its lock and the WWV text. One SpotBoard lives
// for the whole run (spots are kept while the scope window is closed); the GUI owns it.
//
// Threads:
// - The receiver thread calls parse_spot_line for every finished line while the scope window
//   exists (LineProcessor::set_scope_consumer).
// - The UI thread calls add_spot (hand entry), remove_spot / remove_shown_spot ("消す"),
//   clear_spots ("全部消す"), age_spots (the one-minute timer), shown_lines and scope_title
//   (the window's repaint).
//
// Lock: `spot_list_mutex_` guards the list and the WWV text. Every member takes it for its
// own work only and returns with it released; nothing calls out while holding it. So the
// repaint rule is: a member that returns true changed what the window shows, and its caller
// asks for the repaint (redraw_pc_scope) after the call returns. The repaint then calls
// shown_lines, which copies the lines under the lock, and fills the list box from the copy
// without holding anything. A receiver-thread caller posts the repaint and does not wait
// for it; the lock is never held while waiting on another thread.
//
// Slots: shown_lines gives each line its slot at the time of the copy. The receiver may add
// spots before the operator's click arrives, which moves slots; remove_shown_spot removes
// the very spot that was shown, wherever it is now, and is what "消す" should call.
//
// Times are passed in (`now`, whole seconds of the system clock), so tests set the clock.

#include <ctime>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/cluster/spot_list.h"
#include "core/cluster/spot_parser.h"

namespace kestrel {

// The scope window's filter; the UI thread keeps one for the whole run (neither is saved).
struct ScopeFilter {
    int band = 0;        // index into band_table, 0..11
    int age_limit = 60;  // minutes, 1..60
};

struct ShownLine {
    int slot = 0;  // the spot's slot when the lines were copied
    Spot spot;     // the spot itself, for remove_shown_spot
    std::string text;
};

struct ShownLines {
    std::vector<ShownLine> lines;  // in list (frequency) order
    int newest = -1;               // index into lines of the newest spot; -1 if not shown
};

class SpotBoard {
public:
    // parse_spot_line: a spot in any known layout is added with reception time `now`; a WWV
    // line replaces the WWV text. True when either happened.
    bool parse_spot_line(std::string_view line, std::time_t now);
    // The same for a line the caller has already read (for its own use of the spot too).
    bool take_cluster_line(ClusterLine read, std::time_t now);

    void add_spot(const Spot& spot);
    void remove_spot(int slot);  // a slot that does not exist changes nothing
    // Removes the spot of a line from shown_lines if it is still held. True if it was.
    bool remove_shown_spot(const ShownLine& line);
    void clear_spots();
    // Drops spots more than an hour away from `now`. True when any was dropped; the window
    // repaints after every tick anyway, since the ages it shows go up.
    bool age_spots(std::time_t now);

    // The lines to list: spots no older than the age limit in whole minutes, in the band,
    // each as "%s [%2d] %s %s  %s<%s>" (frequency, age in minutes, time, callsign, remarks,
    // spotter).
    ShownLines shown_lines(std::time_t now, const ScopeFilter& filter) const;
    // "PcScope hhmmZ " + the WWV text, with the UTC hour and minute of `now`.
    std::string scope_title(std::time_t now) const;

    std::string wwv_text() const;
    SpotList snapshot() const;

private:
    mutable std::mutex spot_list_mutex_;  // guards list_ and wwv_
    SpotList list_;
    WwvText wwv_;
};

// The line of one spot aged `age_minutes`.
std::string shown_line_text(const Spot& spot, int age_minutes);

// A spot from the hand-entry dialog's fields, as typed (the callsign already upper case):
// frequency = megahertz right-aligned to 3 + kilohertz + "." + hundreds of hertz; callsign
// cut to 11, remarks to 27; time "hhmmZ" of UTC now; no spotter.
Spot hand_entered_spot(std::string_view mhz, std::string_view khz, std::string_view hundred_hz,
                       std::string_view callsign, std::string_view remarks, std::time_t now);

// Broken-down UTC and Japan Standard Time of a system time, whatever the computer's time
// zone: the scope's title and a hand-entered spot use UTC; the main frame's clock shows
// either ("(UTC)" / "(JST)").
std::tm utc_time(std::time_t now);
std::tm jst_time(std::time_t now);

}  // namespace kestrel
