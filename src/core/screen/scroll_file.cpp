#include "core/screen/scroll_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/settings/replace_file.h"
#include "core/text/sjis.h"

namespace kestrel {
namespace {

constexpr int header_size = 16;

void put_le32(unsigned char* out, std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::int32_t get_le32(const unsigned char* in) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(in[i]) << (8 * i);
    return static_cast<std::int32_t>(v);
}

bool write_all(int fd, const void* data, std::size_t size) {
    auto p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads exactly `size` bytes, or fewer at the end of the file.
std::size_t read_full(int fd, void* data, std::size_t size) {
    auto p = static_cast<char*>(data);
    std::size_t got = 0;
    while (got < size) {
        ssize_t n = ::read(fd, p + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

void warn(Desktop& desktop, const char* utf8) { desktop.tell(text::sjis(utf8)); }

// A line from disk is trusted no further than the ring's own rules: text ends by column
// 80 whatever the file says, so no reader runs past the record, and a kind or selection
// the program never writes becomes a plain, unselected line.
void sanitise(ScreenLine& line) {
    line.text[ScreenLine::columns] = 0;
    line.text[ScreenLine::text_size - 1] = 0;
    if (line.kind > line_pause_notice) line.kind = line_plain;
    if (line.selected > 1) line.selected = 0;
}

}  // namespace

bool load_scroll_file(LineStore& store, const std::string& path, Desktop& desktop) {
    if (path.empty()) {
        warn(desktop, "ｽｸﾛｰﾙﾌｧｲﾙ名がありません");
        return false;
    }
    remove_stale_temporaries(path);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;  // first start: nothing to restore, nothing to say

    unsigned char header[header_size];
    bool complete = read_full(fd, header, header_size) == header_size;
    if (complete) {
        std::lock_guard lock(store.store_mutex());
        std::int32_t current = get_le32(header + 4);
        // The program never writes a current line outside the ring; one that is there
        // came from damage, so the lines are kept but the screen starts afresh.
        bool current_valid = current >= 0 && current < LineStore::line_count;
        store.set_current_line(current_valid ? current : 0);
        for (ScreenLine& line : store.lines()) {
            ScreenLine record;
            if (read_full(fd, &record, sizeof record) != sizeof record) {
                complete = false;
                break;
            }
            sanitise(record);
            line = record;
        }
        complete = complete && current_valid;
    }
    ::close(fd);
    if (!complete) warn(desktop, "ｽｸﾛｰﾙﾌｧｲﾙ読み込みｴﾗｰ");
    return complete;
}

// Written beside the old file and renamed over it only when every byte is out, so a full
// disk or a crash at exit never costs the previous scroll-back.
bool save_scroll_file(LineStore& store, const std::string& path, Desktop& desktop) {
    if (path.empty()) {
        warn(desktop, "ｽｸﾛｰﾙﾌｧｲﾙ名がありません");
        return false;
    }
    const Replaced result = replace_file_by(path, [&store](int fd) {
        unsigned char header[header_size] = {};
        std::lock_guard lock(store.store_mutex());
        put_le32(header, LineStore::line_count);
        put_le32(header + 4, store.current_line());
        return write_all(fd, header, header_size) &&
               write_all(fd, store.lines().data(), sizeof(ScreenLine) * LineStore::line_count);
    });
    if (result == Replaced::not_created) warn(desktop, "ｽｸﾛｰﾙﾌｧｲﾙが作成できません");
    if (result == Replaced::not_written) warn(desktop, "ｽｸﾛｰﾙﾌｧｲﾙ書き込みｴﾗｰ");
    return result == Replaced::done;
}

}  // namespace kestrel
