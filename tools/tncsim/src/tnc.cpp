#include "tnc.h"

#include <algorithm>
#include <array>

#include "words.h"

namespace tncsim {
namespace {

constexpr char ctrl_c = 0x03;
constexpr char backspace = 0x08;
constexpr char del = 0x7F;
constexpr std::size_t max_line = 1024;

enum class Command { converse, connect, daytime, disconnect, echo, help, mycall, unproto, unknown };

struct CommandName {
    const char* name;
    std::size_t shortest;  // the shortest abbreviation taken
    Command command;
};

// Checked in order, so "CONV" is CONVERSE while "C" and "CON" are CONNECT.
constexpr std::array<CommandName, 8> command_names{{
    {"CONVERSE", 4, Command::converse},
    {"CONNECT", 1, Command::connect},
    {"DAYTIME", 2, Command::daytime},
    {"DISCONNECT", 1, Command::disconnect},
    {"ECHO", 1, Command::echo},
    {"HELP", 1, Command::help},
    {"MYCALL", 2, Command::mycall},
    {"UNPROTO", 1, Command::unproto},
}};

Command lookup(std::string_view word) {
    const std::string w = upper(word);
    if (w == "K") return Command::converse;
    for (const auto& c : command_names) {
        const std::string_view name = c.name;
        if (w.size() >= c.shortest && w.size() <= name.size() && name.substr(0, w.size()) == w) {
            return c.command;
        }
    }
    return Command::unknown;
}

}  // namespace

Tnc::Tnc(std::string mycall, bool echo, std::vector<Station*> stations, OutputQueue& out)
    : mycall_(std::move(mycall)), echo_(echo), stations_(std::move(stations)), out_(out) {}

void Tnc::power_on() { out_.local("tncsim TNC-2 simulator\rcmd:", true); }

void Tnc::receive(std::string_view bytes) {
    for (char c : bytes) take(c);
}

void Tnc::take(char c) {
    if (c == '\n') return;  // terminals that add LF after CR
    if (c == ctrl_c) {
        line_.clear();
        mode_ = Mode::command;
        prompt();
        return;
    }
    if (c == backspace || c == del) {
        if (line_.empty()) return;
        line_.pop_back();
        if (echo_) out_.local("\b \b");
        return;
    }
    if (echo_) out_.local(std::string_view(&c, 1));
    if (c != '\r') {
        if (line_.size() < max_line) line_.push_back(c);
        return;
    }
    const std::string line = std::move(line_);
    line_.clear();
    if (mode_ == Mode::command) {
        run_command(line);
    } else {
        converse_line(line);
    }
}

void Tnc::prompt() { out_.local("cmd:", true); }

void Tnc::answer(std::string_view text) {
    out_.local(text, true);
    out_.local("\r");
}

void Tnc::run_command(std::string_view line) {
    std::string_view args = line;
    const std::string_view word = first_word(args);
    if (word.empty()) {
        prompt();
        return;
    }
    switch (lookup(word)) {
        case Command::converse: mode_ = Mode::converse; return;
        case Command::connect: connect(args); return;
        case Command::disconnect: disconnect(); return;
        case Command::daytime:
            if (args.empty()) {
                answer("DAYTIME " + clock_.show());
            } else if (!clock_.set(args)) {
                answer("?BAD");
            }
            break;
        case Command::echo: {
            const std::string value = upper(args);
            const std::string was = echo_ ? "ON" : "OFF";
            if (value.empty()) {
                answer("ECHO " + was);
            } else if (value == "ON" || value == "OFF") {
                echo_ = value == "ON";
                answer("ECHO was " + was);
            } else {
                answer("?BAD");
            }
            break;
        }
        case Command::mycall: {
            std::string_view rest = args;
            const std::string call = upper(first_word(rest));
            if (call.empty()) {
                answer("MYCALL " + mycall_);
            } else if (call.size() > 9) {
                answer("?BAD");
            } else {
                answer("MYCALL was " + mycall_);
                mycall_ = call;
            }
            break;
        }
        case Command::unproto:
            if (args.empty()) {
                answer("UNPROTO " + unproto_);
            } else {
                answer("UNPROTO was " + unproto_);
                unproto_ = upper(args);
            }
            break;
        case Command::help: {
            std::string stations;
            for (const Station* s : stations_) stations += " " + s->callsign();
            answer("Commands: CONNECT call, DISCONNECT, CONVERSE (K), DAYTIME [yymmddhhmmss],");
            answer("MYCALL [call], UNPROTO [path], ECHO [ON|OFF], HELP. Ctrl-C: command mode.");
            answer("Stations:" + stations);
            break;
        }
        case Command::unknown: answer("?EH"); break;
    }
    prompt();
}

void Tnc::connect(std::string_view args) {
    // "C call V digi,digi": the path is accepted and plays no part.
    const std::string call = upper(first_word(args));
    if (call.empty() || peer_ != nullptr) {
        answer(peer_ ? "Link state is: CONNECTED to " + peer_->callsign()
                     : std::string("Link state is: DISCONNECTED"));
        prompt();
        return;
    }
    const auto it = std::find_if(stations_.begin(), stations_.end(),
                                 [&](const Station* s) { return s->callsign() == call; });
    if (it == stations_.end()) {
        out_.air_event("*** retry count exceeded\r*** DISCONNECTED\rcmd:");
        return;
    }
    peer_ = *it;
    mode_ = Mode::converse;
    out_.air_event("*** CONNECTED to " + call + "\r");
    out_.air(peer_->connect(mycall_), peer_->cr_line_ends());
}

void Tnc::disconnect() {
    if (peer_ == nullptr) {
        answer("Not while disconnected");
        prompt();
        return;
    }
    peer_->hang_up();
    peer_ = nullptr;
    mode_ = Mode::command;
    out_.drop_air();
    out_.air_event("*** DISCONNECTED\rcmd:");
}

void Tnc::end_link(std::string_view station_text) {
    out_.air(station_text, peer_->cr_line_ends());
    peer_ = nullptr;
    mode_ = Mode::command;
    out_.air_event("*** DISCONNECTED\rcmd:");
}

void Tnc::converse_line(const std::string& line) {
    // Without a link the line goes out as UNPROTO and nobody answers.
    if (peer_ == nullptr) return;
    Reply reply = peer_->line(line);
    if (reply.hang_up) {
        end_link(reply.text);
    } else {
        out_.air(reply.text, peer_->cr_line_ends());
    }
}

void Tnc::tick(Clock::time_point now) {
    if (peer_ == nullptr) return;
    const auto when = peer_->next_announcement();
    if (when && *when <= now) out_.air(peer_->announce(), peer_->cr_line_ends());
}

std::optional<Clock::time_point> Tnc::next_tick() const {
    if (peer_ == nullptr) return std::nullopt;
    return peer_->next_announcement();
}

}  // namespace tncsim
