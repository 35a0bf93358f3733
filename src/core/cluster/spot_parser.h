#pragma once
// Reading one received line as a cluster line: a DX spot or the solar figures of a WWV line.
//
// Principle of operation: a pure function of the line's bytes, with no state and no lock, so
// any thread may call it (SpotBoard::parse_spot_line calls it on the receiver thread before it
// takes the spot-list lock). The line is what the line processor hands on: without its LF,
// possibly ending in CR and BEL characters, at most the first 128 bytes count.
//
// Spot layouts, columns from 0, tried in this order (lengths without trailing CR and BEL):
//   A  "DX de " announcement, 75..80 bytes, "." in column 23: frequency 17 (8), DX callsign
//      27 (11), remarks 40 (24), time 71 (5).
//   B  the same one column to the left, "." in column 22: 16, 26, 39, 70.
//   C  a listing line, 77..79 bytes, "." in 6, blanks in 8 and 9, "-" in 24 and 28:
//      frequency 0 (8), DX callsign 10 (11), time 34 (5), remarks 41 (24), spotter between
//      the last "<" and the last ">".
// A and B take the spotter from column 6 up to the first ":" when that ":" stands before the
// frequency field; otherwise the spotter is empty. The frequency field must read as blanks,
// digits, ".", one digit, with a blank or ":" before it and a blank after it: a longer number
// (a 7-digit kHz, a second decimal) does not fit the columns and is not cut to fit them.
//
// A line that fits none of A, B, C but is clearly a spot is read by blank-separated words:
//   "DX de " spotter ":" frequency callsign [remarks] hhmmZ [grid square | zone]
//   frequency callsign d-Mon-yyyy hhmmZ [remarks] <spotter>
// The frequency must be digits "." digits whose "%8.1f" fits 8 columns; the callsign upper-case
// letters, digits and "/" with at least one letter and one digit. Anything doubtful: no spot.
//
// Every text field is safe to show: control bytes become blanks, and so does a lead byte left
// alone at a field's end (a kanji cut by the cluster or by the column width). Spotters longer
// than 19 bytes keep their first 19 (never half a two-byte character); a listing line whose
// last "<" stands after its last ">" has an empty spotter.

#include <optional>
#include <string_view>

#include "core/cluster/spot_list.h"
#include "core/text/fixed_text.h"

namespace kestrel {

// The solar figures as the scope's title shows them.
using WwvText = text::FixedText<128>;

struct ClusterLine {
    std::optional<Spot> spot;  // every field but `newest` and `received`
    // From the first "SFI=" to the line's end (NUL, BEL, LF or CR), for a line holding
    // "WWV=" and "SFI=", or beginning "WWV de " and holding "SFI=".
    std::optional<WwvText> wwv;
};

ClusterLine read_cluster_line(std::string_view line);

}  // namespace kestrel
