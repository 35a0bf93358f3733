// How fast bytes enter the line store: the serial line carries under 4 KB/s, so the
// store must never be what a fast burst waits on.

#include <benchmark/benchmark.h>

#include <string>

#include "core/screen/line_store.h"
#include "core/text/sjis.h"
#include "quiet_desktop.h"

namespace {

// Typical BBS traffic: English and Japanese lines of mixed length, CR LF ended.
std::string mixed_traffic() {
    std::string one = kestrel::text::sjis(
        "  123 JA1ABC   0312 ﾊﾟｹｯﾄ通信 の お知らせ: 次回のミーティングは日曜日です\r\n"
        "DX de JA1XYZ:    14025.0  VK9AA        CW loud                  0123Z\r\n"
        "Message text with a rather long line that wraps past the eightieth column of the "
        "terminal pane and continues here.\r\n");
    std::string out;
    while (out.size() < (1u << 16)) out += one;
    return out;
}

void run(benchmark::State& state, bool time_stamp, bool per_byte) {
    kestrel::bench::QuietDesktop desktop;
    kestrel::LineStore store(desktop);
    store.first_sized(24);
    store.set_time_stamp(time_stamp);
    const std::string traffic = mixed_traffic();
    for (auto _ : state) {
        if (per_byte) {
            for (char c : traffic) store.put_char(static_cast<std::uint8_t>(c));
        } else {
            store.put_text(traffic);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * traffic.size()));
}

void BM_put_char_per_byte(benchmark::State& s) { run(s, false, true); }
void BM_put_char_per_byte_time_stamps(benchmark::State& s) { run(s, true, true); }
void BM_put_text_chunk(benchmark::State& s) { run(s, false, false); }
void BM_put_text_chunk_time_stamps(benchmark::State& s) { run(s, true, false); }

}  // namespace

BENCHMARK(BM_put_char_per_byte);
BENCHMARK(BM_put_char_per_byte_time_stamps);
BENCHMARK(BM_put_text_chunk);
BENCHMARK(BM_put_text_chunk_time_stamps);
