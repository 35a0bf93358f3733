#include "options.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <string_view>
#include <type_traits>
#include <vector>

#include "bbs.h"
#include "words.h"

namespace tncsim {
namespace {

bool to_unsigned(std::string_view text, std::uint64_t& value) {
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc{} && ptr == end && !text.empty();
}

bool to_seconds(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value) && value >= 0;
}

bool valid_callsign(const std::string& call) {
    if (call.empty() || call.size() > 9) return false;
    for (char c : call) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '/';
        if (!ok) return false;
    }
    return true;
}

// "a,b,skimmer": the announcement layouts in turn.
bool to_layouts(const std::string& text, std::vector<DxLayout>& layouts) {
    static const std::map<std::string, DxLayout, std::less<>> names = {
        {"A", DxLayout::wide}, {"B", DxLayout::narrow}, {"SKIMMER", DxLayout::skimmer}};
    std::vector<DxLayout> read;
    std::string_view rest = text;
    while (true) {
        const std::size_t comma = rest.find(',');
        const auto it = names.find(upper(rest.substr(0, comma)));
        if (it == names.end()) return false;
        read.push_back(it->second);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    layouts = std::move(read);
    return true;
}

}  // namespace

ParsedOptions parse_options(int argc, char** argv) {
    ParsedOptions parsed;
    Options& o = parsed.options;

    using Setter = std::function<bool(const std::string&)>;
    const auto number = [](auto& field, std::uint64_t max) {
        return Setter([&field, max](const std::string& v) {
            std::uint64_t n = 0;
            if (!to_unsigned(v, n) || n > max) return false;
            field = static_cast<std::remove_reference_t<decltype(field)>>(n);
            return true;
        });
    };
    const auto text = [](std::string& field) {
        return Setter([&field](const std::string& v) {
            field = v;
            return !v.empty();
        });
    };
    const auto call = [](std::string& field) {
        return Setter([&field](const std::string& v) {
            field = upper(v);
            return valid_callsign(field);
        });
    };
    const std::map<std::string, Setter, std::less<>> with_value = {
        {"--link", text(o.link)},
        {"--seed", number(o.seed, UINT64_MAX)},
        {"--rate", [&o](const std::string& v) { return to_seconds(v, o.rate); }},
        {"--script", text(o.script)},
        {"--record", text(o.record)},
        {"--settings-log", text(o.settings_log)},
        {"--burst", number(o.burst, std::size_t{1} << 32)},
        {"--mycall", call(o.mycall)},
        {"--bbs", call(o.bbs_call)},
        {"--cluster", call(o.cluster_call)},
        {"--messages", number(o.messages, Bbs::max_messages)},
        {"--dx-interval", [&o](const std::string& v) { return to_seconds(v, o.dx_interval); }},
        {"--dx-layout", [&o](const std::string& v) { return to_layouts(v, o.dx_style.layouts); }},
        {"--list-layout",
         [&o](const std::string& v) {
             o.bbs_style.layout = v == "left" ? ListLayout::left : ListLayout::right;
             return v == "left" || v == "right";
         }},
        {"--bbs-line-end",
         [&o](const std::string& v) {
             o.bbs_style.cr_only = v == "cr";
             return v == "cr" || v == "crlf";
         }},
        {"--bbs-prompt-end",
         [&o](const std::string& v) {
             o.bbs_style.bare_prompt = v == "none";
             return v == "none" || v == "line";
         }},
    };

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
            return parsed;
        }
        if (arg == "--exit-on-hangup") {
            o.exit_on_hangup = true;
            continue;
        }
        if (arg == "--no-echo") {
            o.echo = false;
            continue;
        }
        if (arg == "--dx-grid") {
            o.dx_style.grid = true;
            continue;
        }
        if (arg == "--bbs-prompt-every-line") {
            o.bbs_style.prompt_every_line = true;
            continue;
        }
        std::string value;
        bool has_value = false;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            has_value = true;
        }
        const auto it = with_value.find(arg);
        if (it == with_value.end()) {
            parsed.error = "unknown option " + arg;
            return parsed;
        }
        if (!has_value) {
            if (i + 1 >= argc) {
                parsed.error = arg + " needs a value";
                return parsed;
            }
            value = argv[++i];
        }
        if (!it->second(value)) {
            parsed.error = "bad value for " + arg + ": " + value;
            return parsed;
        }
    }
    if (o.bbs_call == o.cluster_call)
        parsed.error = "the BBS and the cluster need different callsigns";
    return parsed;
}

std::string help_text() {
    return R"(Usage: tncsim [options]

A simulated TNC-2 style TNC on a pseudo-terminal. The first line on stdout is
the path of the pseudo-terminal's slave side: point the terminal at it.
A pseudo-terminal has no modem lines and no break: turn the terminal's DSR
watch off (ADD_DSR=0) and use Ctrl-C to reach command mode.

Options:
  --link PATH          also make PATH a symlink to the slave (removed at exit)
  --seed N             seed of all generated traffic (default 1)
  --rate BYTES_PER_S   pace station traffic, scripts and bursts like a radio
                       link (default 0: unpaced); echo and TNC answers are not
  --script FILE        send FILE's bytes unchanged when the terminal first opens
                       the line (instead of the start-up banner), then answer
  --record FILE        write every byte received from the terminal to FILE
  --settings-log FILE  append one line per change of the line settings, e.g.
                       "speed=9600 bits=8 parity=none stop=1 flow=xonxoff"
                       (flow: none, xonxoff, rtscts; Linux keeps a pseudo-
                       terminal at 8 bits and no parity whatever is asked)
  --burst N            send N bytes of generated text once the first byte arrives
  --exit-on-hangup     exit when the terminal closes the line
  --no-echo            start with ECHO OFF
  --mycall CALL        the TNC's MYCALL (default NOCALL)
  --bbs CALL           callsign of the BBS station (default JA1BBS)
  --cluster CALL       callsign of the DX cluster station (default JA1DX)
  --messages N         messages on the BBS (default 24, at most 999)
  --list-layout right|left  message numbers in the BBS list right-aligned in a
                       blank-filled field (default) or left-aligned at the
                       start of the line
  --bbs-line-end crlf|cr  the BBS's lines end in CR LF (default) or CR alone
  --bbs-prompt-end line|none  the BBS's prompt ends like its lines (default) or
                       has no line end: the next line typed follows it
  --bbs-prompt-every-line  the BBS answers every line it receives with its
                       prompt, also the lines of a message being entered
  --dx-interval SECS   seconds between cluster announcements (default 10; 0 = none)
  --dx-layout LIST     announcement layouts in turn, from a, b and skimmer, comma-
                       separated (default a,b; see below)
  --dx-grid            end each announced spot in the spotter's grid square,
                       " PM95" after the time, as DX cluster nodes do
  --help               this text

SIGTERM and SIGINT end it cleanly.

TNC (lines end in CR LF; typed bytes are echoed, CR as CR LF, BS/DEL erase):
  prompt "cmd:"; unknown commands "?EH"; bad values "?BAD".
  C[ONNECT] call       "*** CONNECTED to CALL", converse mode with that station;
                       an unknown call gives "*** retry count exceeded" and
                       "*** DISCONNECTED"
  D[ISCONNECT]         "*** DISCONNECTED"
  K, CONV[ERSE]        converse mode (Ctrl-C returns to command mode)
  DA[YTIME] [yymmddhhmmss]  set the clock, or show it: "DAYTIME yy/mm/dd hh:mm:ss"
  MY[CALL] [call], U[NPROTO] [path], E[CHO] [ON|OFF], H[ELP]
  A station's BYE, or D, ends the link with "*** DISCONNECTED" and "cmd:".

BBS (default JA1BBS), prompt "JA1BBS>":
  L                    list, newest first: a heading, then one line a message
                       "%5d %5u %-6s %-7s mm/dd hh:mm subject"
                       (number, size, to, from, date, subject; subjects in
                       English or Shift-JIS Japanese); with --list-layout left
                       the number is "%-5d", the other columns stay
  R n[,m...]  R n m    read one or several messages (commas and/or spaces); each
                       message is framed for a date-named download:
                         Msg# n  From: CALL  To: CALL  Date: yy/mm/dd hh:mm
                         Subject: ...
                         (blank line, body)
                         [End of message]
                       download start string "Msg#", end string "[End of message]"
  S call               send a message: subject, then text ending in /EX or Ctrl-Z
  H                    help
  B, BYE               "73 de JA1BBS" and disconnect

DX cluster (default JA1DX), prompt "MYCALL de JA1DX >":
  Announcements every --dx-interval seconds while connected, in the layouts of
  --dx-layout (columns from 0; frequency in kHz, one decimal, right-aligned in
  8 columns, so 4-, 5- and 6-digit frequencies keep the same columns):
    a: "DX de " spotter+":" in 11, frequency at 17-24 (point at 23), DX call at
       27 (11), comment at 40 (30), time "hhmmZ" at 71-75; 76 characters
    b: "DX de " spotter+":" in 10, frequency at 16-23 (point at 22), DX call at
       26 (12), comment at 39 (30), time at 70-74; 75 characters
    skimmer: "DX de " spotter "-#: " then the frequency with two decimals
       right-aligned in 9, DX call, comment and time in no fixed columns
  With --dx-grid a spot's line ends in " " + grid square (80 characters in b)
  and every fifth one a WWV line:
    "WWV de JA1DX <hh>: WWV=hhZ SFI=nnn A=n K=n forecast"
  SH/DX [n]            the last n spots (default 10), newest first, 77 characters:
                       frequency at 0-7 (point at 6), DX call at 10 (12), date
                       "dd-Mon-yyyy" at 22-32, time "hhmmZ" at 34-38, comment
                       at 41, then "<spotter>" at the end
  SH/WWV [n]           the last n WWV lines
  DX freq call [text]  announce a spot (layout A)
  TALK call text       the other station answers with the same text:
                       "MYCALL de CALL: text"
  BYE, B, Q            "73 de JA1DX" and disconnect
)";
}

}  // namespace tncsim
