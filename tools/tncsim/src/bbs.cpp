#include "bbs.h"

#include <charconv>
#include <cstdio>
#include <ctime>

#include "sjis.h"
#include "words.h"

namespace tncsim {
namespace {

constexpr char ctrl_z = 0x1A;

std::tm local_time(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

// Both layouts keep the same columns, so only the number's place differs.
std::string list_line(const Message& m, ListLayout layout) {
    const std::tm d = local_time(m.date);
    char head[80];
    std::snprintf(head, sizeof head,
                  layout == ListLayout::left ? "%-5d %5zu %-6.6s %-7.7s %02d/%02d %02d:%02d "
                                             : "%5d %5zu %-6.6s %-7.7s %02d/%02d %02d:%02d ",
                  m.number, m.size(), m.to.c_str(), m.from.c_str(), d.tm_mon + 1, d.tm_mday,
                  d.tm_hour, d.tm_min);
    return head + m.subject + "\r";
}

std::string framed(const Message& m) {
    const std::tm d = local_time(m.date);
    char head[120];
    std::snprintf(head, sizeof head, " %d  From: %s  To: %s  Date: %02d/%02d/%02d %02d:%02d\r",
                  m.number, m.from.c_str(), m.to.c_str(), d.tm_year % 100, d.tm_mon + 1, d.tm_mday,
                  d.tm_hour, d.tm_min);
    std::string text = std::string(Bbs::download_start) + head;
    text += "Subject: " + m.subject + "\r\r";
    for (const auto& line : m.body) text += line + "\r";
    text += std::string(Bbs::download_end) + "\r";
    return text;
}

}  // namespace

Bbs::Bbs(std::string callsign, int message_count, std::uint64_t seed, ListLayout layout)
    : Bbs(std::move(callsign), message_count, seed, BbsStyle{layout}) {}

Bbs::Bbs(std::string callsign, int message_count, std::uint64_t seed, const BbsStyle& style)
    : callsign_(std::move(callsign)),
      style_(style),
      messages_(make_messages(message_count, seed, std::time(nullptr))) {}

std::string Bbs::prompt() const { return callsign_ + (style_.bare_prompt ? ">" : ">\r"); }

std::string Bbs::connect(const std::string& caller) {
    caller_ = caller;
    compose_ = Compose::none;
    return "Welcome to " + callsign_ + " RBBS, " + caller + ".\r" +
           to_sjis("ようこそ " + callsign_ + " へ。") + "\r" + std::to_string(messages_.size()) +
           " messages. Commands: L, R n[,m...], S call, H, B\r" + prompt();
}

void Bbs::hang_up() { compose_ = Compose::none; }

Reply Bbs::line(std::string_view text) {
    Reply reply = answer(text);
    if (style_.prompt_every_line && !reply.hang_up && !reply.text.ends_with(prompt())) {
        reply.text += prompt();
    }
    return reply;
}

Reply Bbs::answer(std::string_view text) {
    if (compose_ != Compose::none) return {compose(text)};

    std::string_view args = text;
    const std::string word = upper(first_word(args));

    if (word.empty()) return {prompt()};
    if (word == "B" || word == "BYE") {
        compose_ = Compose::none;
        return {"73 de " + callsign_ + "\r", true};
    }
    if (word == "L" || word == "LIST") return {list() + prompt()};
    if (word == "R" || word == "READ") return {read(args) + prompt()};
    if (word == "S" || word == "SP" || word == "SB") return {start_message(args)};
    if (word == "H" || word == "HELP" || word == "?") {
        return {
            "L         list messages, newest first\r"
            "R n[,m..] read messages (commas or spaces between numbers)\r"
            "S call    send a message\r"
            "B         bye\r" +
            prompt()};
    }
    return {"?Unknown command: " + word + "\r" + prompt()};
}

std::string Bbs::list() const {
    std::string text = style_.layout == ListLayout::left
                           ? "No     Size To     From    Date  Time  Subject\r"
                           : "   No  Size To     From    Date  Time  Subject\r";
    for (auto it = messages_.rbegin(); it != messages_.rend(); ++it) {
        text += list_line(*it, style_.layout);
    }
    return text;
}

std::string Bbs::read(std::string_view numbers) const {
    std::string text;
    std::size_t pos = 0;
    bool any = false;
    while (pos < numbers.size()) {
        const auto next = numbers.find_first_of(", ", pos);
        const std::string_view token =
            numbers.substr(pos, next == std::string_view::npos ? next : next - pos);
        pos = next == std::string_view::npos ? numbers.size() : next + 1;
        if (token.empty()) continue;
        any = true;
        int n = 0;
        const auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), n);
        if (ec != std::errc{} || ptr != token.data() + token.size()) {
            text += "Bad message number: " + std::string(token) + "\r";
        } else if (n < 1 || n > static_cast<int>(messages_.size())) {
            text += "No such message: " + std::string(token) + "\r";
        } else {
            text += framed(messages_[static_cast<std::size_t>(n - 1)]);
        }
    }
    if (!any) text = "Usage: R n[,m...]\r";
    return text;
}

std::string Bbs::start_message(std::string_view to) {
    if (to.empty()) return "Usage: S call\r" + prompt();
    if (static_cast<int>(messages_.size()) >= max_messages)
        return "Message store full\r" + prompt();
    draft_ = Message{};
    draft_.to = upper(first_word(to));
    draft_.from = caller_;
    compose_ = Compose::subject;
    return "Subject:\r";
}

std::string Bbs::compose(std::string_view text) {
    if (compose_ == Compose::subject) {
        draft_.subject = std::string(trim(text));
        compose_ = Compose::body;
        return "Enter text, end with /EX or Ctrl-Z:\r";
    }
    const auto z = text.find(ctrl_z);
    if (z != std::string_view::npos && z > 0) draft_.body.emplace_back(text.substr(0, z));
    if (z == std::string_view::npos && upper(trim(text)) != "/EX") {
        draft_.body.emplace_back(text);
        return {};
    }
    compose_ = Compose::none;
    draft_.number = static_cast<int>(messages_.size()) + 1;
    draft_.date = std::time(nullptr);
    messages_.push_back(std::move(draft_));
    draft_ = Message{};
    return "Message " + std::to_string(messages_.size()) + " saved\r" + prompt();
}

}  // namespace tncsim
