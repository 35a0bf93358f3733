#pragma once
// Everything the settings file holds, as the program keeps it in memory. Texts are CP932
// bytes in fixed buffers; the widths are the records' own (text plus terminator).

#include <array>
#include <cstdint>

#include "core/text/fixed_text.h"

namespace kestrel {

using text::FixedText;

inline constexpr int rbbs_count = 24;
inline constexpr int port_count = 8;
inline constexpr int key_macro_count = 26;
inline constexpr int external_program_count = 5;

// The serial line as the operator chose it. Parity is never stored: every run starts
// with none.
struct PortSettings {
    std::int32_t port_number = 1;  // 1..8, COM1..COM8
    std::int32_t baud_rate = 9600;
    std::int32_t bit_length = 8;    // 7 or 8
    std::int32_t stop_bits = 0;     // 0 = 1 bit, 1 = 1.5 bits, 2 = 2 bits
    std::int32_t parity = 0;        // 0 none, 1 odd, 2 even
    std::int32_t flow_control = 0;  // 0 XON/XOFF, 1 CTS/RTS, 2 CTS/DTR
    std::int32_t local_echo = 1;
    std::int32_t tx_lf = 0;        // LF after CR on send
    std::int32_t rx_lf = 0;        // kept and written back only
    std::int32_t upload_wait = 0;  // ms before each uploaded character
    std::int32_t dsr_watch = 1;    // refuse to send while DSR is down
    // Reopen a device that went away when it comes back, call a lost network peer again
    // (PORT_DEVICES RECONNECT; files older than the key read it as on).
    std::int32_t reconnect = 1;
    friend bool operator==(const PortSettings&, const PortSettings&) = default;
};

// One bulletin-board station, on a function key.
struct RbbsRecord {
    FixedText<81> name;             // CALLSIGN
    FixedText<81> connect_command;  // COMMAND; "\n" stands for CR
    FixedText<81> connect_file;     // CONNECT_FILE
    FixedText<11> read_command{"R"};
    FixedText<3> separator{","};  // stored "0" means one space
    FixedText<81> extension;      // EXTENTION, of the date-named file
    FixedText<81> dl_start;       // DL_START_STR
    FixedText<81> dl_end;         // DL_END_STR
    std::int32_t dl_start_valid = 0;
    std::int32_t dl_end_valid = 0;
    FixedText<81> unproto;
    std::int16_t sort = 0;   // 0 none, 1 ascending, 2 descending
    std::int32_t saver = 0;  // a bell releases the screen saver
    // PROMPT_WAIT: when set, an upload sends a line and waits for this text, the station's
    // prompt, before the next; PROMPT_TIMEOUT: how long, in seconds, before it gives up
    // and pauses until HOME.
    FixedText<81> prompt_wait;
    std::int32_t prompt_timeout = 30;
};

inline constexpr std::int32_t prompt_timeout_default = 30;
inline constexpr std::int32_t prompt_timeout_max = 3600;

// A colour as the settings file composes it: R + 256 G + 65536 B.
struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    std::uint32_t value() const { return r | (g << 8) | (std::uint32_t(b) << 16); }
    friend bool operator==(const Colour&, const Colour&) = default;
};

struct Rect {
    std::int32_t left = 0, top = 0, right = 640, bottom = 480;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct ExternalProgram {
    FixedText<70> name;  // the heading shown in the menu and tool tip
    FixedText<70> path;  // the command line
};

struct Settings {
    PortSettings port;
    // Where each COMn: lives on this machine (PORT_DEVICES); index 0 is COM1.
    std::array<FixedText<256>, port_count> port_devices{
        FixedText<256>{"/dev/ttyS0"}, FixedText<256>{"/dev/ttyS1"}, FixedText<256>{"/dev/ttyS2"},
        FixedText<256>{"/dev/ttyS3"}, FixedText<256>{"/dev/ttyS4"}, FixedText<256>{"/dev/ttyS5"},
        FixedText<256>{"/dev/ttyS6"}, FixedText<256>{"/dev/ttyS7"}};

    // ENV
    std::int32_t jst = 1;
    std::int32_t tool_bar = 1;
    FixedText<80> pause_str{"/**/"};
    FixedText<8> inyou_str{">"};
    std::int32_t rev_text_col = 1;
    std::int32_t bell_on = 1;
    std::int32_t small_pc_scope = 0;
    std::int32_t time_stamp = 0;
    std::int32_t default_fkey_no = 0;  // the current RBBS record

    // FONT
    std::int32_t font_type = 0;  // 0 fixed system font, 1 Mincho, 2 Gothic
    std::int32_t log_font_x = 0;
    std::int32_t log_font_y = 13;
    std::int32_t bs_yohaku = 1;

    // DIR
    FixedText<255> dl_dir;
    FixedText<255> ul_dir;

    std::array<RbbsRecord, rbbs_count> rbbs{};

    // WIN_RECT
    Rect window;
    std::int32_t kyokai = 10;

    Colour inyou_col{0, 255, 0};
    Colour cursor_col{0, 0, 128};
    Colour area_col{0, 128, 128};
    Colour pause_col{0, 255, 255};

    std::array<FixedText<78>, key_macro_count> key_macros{};  // A..Z; default empty

    Rect scope_rect;
    Rect talk_rect;
    // WATCH_LIST CALLS: the spot watch list, entries separated by blanks (core/cluster/
    // watch_list.h). Files written before it existed simply lack the section.
    FixedText<512> watch_list;
    FixedText<12> talk_call_sign;
    std::array<ExternalProgram, external_program_count> external_programs{};
};

}  // namespace kestrel
