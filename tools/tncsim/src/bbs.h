#pragma once
// A radio bulletin-board station: a message list, reading one or several messages framed for a
// date-named download, and sending a message.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bbs_messages.h"
#include "station.h"

namespace tncsim {

// Where the list puts a message's number: right-aligned in a blank-filled field, or
// left-aligned at the start of the line, as BBS programs variously print it.
enum class ListLayout { right, left };

// How the board ends its lines and stands at its prompt, as board programs variously do:
// lines ended by CR LF or by CR alone; the prompt ended like a line, or left without a
// line end where the next typed line follows it; and the prompt after every line received,
// even while a message is being entered, for terminals that pace their uploads by it.
struct BbsStyle {
    ListLayout layout = ListLayout::right;
    bool cr_only = false;
    bool bare_prompt = false;
    bool prompt_every_line = false;
};

class Bbs final : public Station {
public:
    static constexpr int max_messages = 999;
    // The first line of every message read begins with this, and its last line is this.
    static constexpr std::string_view download_start = "Msg#";
    static constexpr std::string_view download_end = "[End of message]";

    Bbs(std::string callsign, int message_count, std::uint64_t seed,
        ListLayout layout = ListLayout::right);
    Bbs(std::string callsign, int message_count, std::uint64_t seed, const BbsStyle& style);

    const std::string& callsign() const override { return callsign_; }
    std::string connect(const std::string& caller) override;
    Reply line(std::string_view text) override;
    void hang_up() override;
    bool cr_line_ends() const override { return style_.cr_only; }

private:
    Reply answer(std::string_view text);
    enum class Compose { none, subject, body };

    std::string prompt() const;
    std::string list() const;
    std::string read(std::string_view numbers) const;
    std::string start_message(std::string_view to);
    std::string compose(std::string_view text);

    std::string callsign_;
    BbsStyle style_;
    std::string caller_;
    std::vector<Message> messages_;
    Compose compose_ = Compose::none;
    Message draft_;
};

}  // namespace tncsim
