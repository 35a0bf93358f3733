#include <cstring>

#include "shell/tnc_link.h"
#include "text/sjis.h"

namespace {

constexpr std::uint8_t bs = 8;
constexpr std::uint8_t cr = 13;
constexpr std::uint8_t esc = 27;
constexpr std::uint8_t dle = 16;

// No port: what the operator types shows on the screen when local echo is on, with the
// transmitter's treatment of BS over two-byte characters, ESC and DLE.
class LocalLink : public TncLink {
public:
    LocalLink(const kestrel::Settings& settings, kestrel::LineStore& store,
              kestrel::Backscroll& backscroll)
        : settings_(settings), store_(store), backscroll_(backscroll) {}

    bool open_port() override { return false; }
    void clear_dtr() override {}
    void close_port() override {}
    bool port_is_open() const override { return false; }
    bool tnc_connected() const override { return false; }

    bool send_char(std::uint8_t c) override {
        if (c == esc) {
            backscroll_.leave_split_view();
            return true;
        }
        if (c == dle) return true;
        const bool echo = settings_.port.local_echo != 0;
        if (c == bs) {
            if (sent_ == 0) return true;
            const int n = lead_[sent_ - 1] == 2 ? 2 : lead_[sent_ - 1] == 0 ? 1 : 0;
            sent_ -= n;
            for (int i = 0; i < n && echo; ++i) store_.put_char(bs);
            return true;
        }
        if (c == cr) {
            sent_ = 0;
            pair_ = false;
        } else if (sent_ < int(sizeof lead_)) {
            lead_[sent_++] = pair_ ? 2 : kestrel::text::is_lead_byte(c) ? 1 : 0;
            pair_ = lead_[sent_ - 1] == 1;
        }
        if (echo) store_.put_char(c);
        return true;
    }
    void send_break() override {}
    void end_break() override {}

    bool capture_open() const override { return false; }
    bool upload_open() const override { return false; }
    std::string capture_name() const override { return {}; }
    bool capture_byte(std::uint8_t) override { return true; }
    void end_download() override {}

private:
    const kestrel::Settings& settings_;
    kestrel::LineStore& store_;
    kestrel::Backscroll& backscroll_;
    std::uint8_t lead_[3240] = {};
    int sent_ = 0;
    bool pair_ = false;
};

}  // namespace

std::unique_ptr<TncLink> make_local_link(const kestrel::Settings& settings,
                                         kestrel::LineStore& store,
                                         kestrel::Backscroll& backscroll) {
    return std::make_unique<LocalLink>(settings, store, backscroll);
}
