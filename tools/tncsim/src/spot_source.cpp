#include "spot_source.h"

#include <string>
#include <vector>

namespace tncsim {
namespace {

struct Band {
    int low;  // tenths of kHz
    int high;
};

// Grouped by the number of kHz digits.
const std::vector<Band> four_digit = {{18100, 18400}, {35000, 35750}, {70000, 70400}};
const std::vector<Band> five_digit = {{101000, 101500}, {140000, 143500}, {180680, 181680},
                                      {210000, 214500}, {248900, 249900}, {280000, 297000},
                                      {500000, 501500}};
const std::vector<Band> six_digit = {{1440000, 1443900}, {4301000, 4303000}};

const std::vector<std::string> dx_calls = {
    "3B8CF",  "VK9NS",  "ZS6EZ",  "K1ABC",  "W6XYZ",  "DL1ABC", "G4ABC",  "VK2DX",
    "ZL2ABC", "9M2TO",  "HL5ABC", "BV2AB",  "VR2XMT", "UA0ABC", "XV9A",   "JD1BMH",
    "KH6ABC", "PY2ABC", "LU1ABC", "EA8ABC", "5W1SA",  "A35JP",  "FO5ABC", "T30XX",
};

const std::vector<std::string> spotters = {"JA1ABC", "JH1XYZ", "JR2QWE", "JA3RTY",  "JE1UIO",
                                           "7K1ASD", "JF6FGH", "JA0JKL", "JA1ZZ-2", "JG1MNB"};

const std::vector<std::string> grids = {"PM95", "PM85", "QM06", "PM53", "PM74", "QN02"};

const std::vector<std::string> comments = {
    "CQ UP 2",
    "599 TNX QSO",
    "QSX 14027",
    "CW 25 WPM",
    "SSB big signal",
    "FT8 -12dB",
    "RTTY",
    "QRV now",
    "long path",
    "QSL via EB7DX",
    "IOTA OC-123",
    "5/9 in Tokyo",
    "weak but readable",
    "pile up",
    "split, listening up 5",
    "",
};

const std::vector<std::string> forecasts = {
    "No Storms -> No Storms",
    "Minor w/G1 -> No Storms",
    "No Storms -> Minor w/G1",
    "Quiet -> Unsettled",
};

}  // namespace

SpotSource::SpotSource(std::uint64_t seed, std::vector<DxLayout> layouts)
    : random_(seed ^ 0x636C75737465722EULL), layouts_(std::move(layouts)) {}

Spot SpotSource::next_spot(std::time_t now) {
    static const std::vector<Band>* const groups[] = {&four_digit, &five_digit, &six_digit};
    const Band& band = random_.pick(*groups[spots_++ % 3]);
    Spot spot;
    spot.tenths_khz = random_.between(band.low, band.high);
    spot.dx = random_.pick(dx_calls);
    spot.comment = random_.pick(comments);
    spot.spotter = random_.pick(spotters);
    spot.time = now;
    spot.grid = random_.pick(grids);
    return spot;
}

DxLayout SpotSource::next_layout() { return layouts_[announced_++ % layouts_.size()]; }

Wwv SpotSource::next_wwv(std::time_t now) {
    Wwv wwv;
    wwv.sfi = random_.between(65, 220);
    wwv.a = random_.between(0, 30);
    wwv.k = random_.between(0, 7);
    wwv.forecast = random_.pick(forecasts);
    wwv.time = now;
    return wwv;
}

}  // namespace tncsim
