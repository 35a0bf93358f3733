#pragma once
// A station the TNC can connect to. Texts use CR as line end and are Shift-JIS bytes.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tncsim {

struct Reply {
    std::string text;
    bool hang_up = false;  // the station ends the link after sending text
};

class Station {
public:
    virtual ~Station() = default;
    virtual const std::string& callsign() const = 0;
    // A new link from the operator's station; the greeting.
    virtual std::string connect(const std::string& caller) = 0;
    // One line the operator sent, without its CR.
    virtual Reply line(std::string_view text) = 0;
    // The operator's TNC ended the link.
    virtual void hang_up() {}
    // The station's lines end in CR alone; otherwise the TNC passes them on with CR LF.
    virtual bool cr_line_ends() const { return false; }

    // Unprompted traffic (a cluster's announcements): when, and what.
    virtual std::optional<std::chrono::steady_clock::time_point> next_announcement() const {
        return std::nullopt;
    }
    virtual std::string announce() { return {}; }
};

}  // namespace tncsim
