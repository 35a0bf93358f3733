#include "core/transfer/copy_out.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "core/settings/windows_paths.h"
#include "core/text/sjis.h"

namespace kestrel {

namespace {

std::string_view base_name(std::string_view path) {
    auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool write_all(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

}  // namespace

std::string selected_lines_text(LineStore& store, std::string_view quote_mark, bool quote) {
    std::string out;
    store.for_each_oldest_first([&](const ScreenLine& line) {
        if (!line.selected) return;
        if (quote) out += quote_mark;
        out.append(line.text, ::strnlen(line.text, ScreenLine::columns));
        out += "\r\n";
    });
    return out;
}

std::optional<std::string> copy_to_clipboard_text(LineStore& store, Desktop& desktop,
                                                  std::string_view quote_mark, bool quote) {
    if (store.count_selected() == 0) return std::nullopt;
    try {
        std::string cp932 = selected_lines_text(store, quote_mark, quote);
        std::string text;
        text.reserve(cp932.size());
        for (std::size_t i = 0; i < cp932.size(); ++i) {
            if (cp932[i] == '\r' && i + 1 < cp932.size() && cp932[i + 1] == '\n') continue;
            text += cp932[i];
        }
        return text::cp932_to_utf8(text);
    } catch (const std::bad_alloc&) {
        desktop.tell(text::sjis("メモリー不足"));
        return std::nullopt;
    }
}

void copy_to_file(LineStore& store, Desktop& desktop, std::atomic<int>& overwrite_choice,
                  std::string_view dl_dir, std::string_view quote_mark, bool quote) {
    if (store.count_selected() == 0) return;
    FileChoice choice;
    choice.mode = FileChoice::Mode::save;
    choice.title = text::sjis("ファイルへ保存");
    choice.directory = usable_folder(dl_dir);
    std::optional<std::string> path = desktop.choose_file(choice);
    if (!path || base_name(*path).empty()) return;

    int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
    struct stat st {};
    if (::stat(path->c_str(), &st) == 0) {
        // The permission bits as well as access(): a privileged operator passes access().
        if (::access(path->c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0) {
            desktop.tell(text::cp932_from_path(base_name(*path)) +
                             text::sjis(" は書き込み禁止になっています"),
                         MessageIcon::warning);
            return;
        }
        desktop.beep();
        Desktop::ExistingFileAnswer answer =
            desktop.ask_existing_file(overwrite_choice.load() == 1);
        overwrite_choice.store(answer.overwrite ? 1 : 0);
        if (!answer.ok) return;
        flags = O_WRONLY | O_CLOEXEC | (answer.overwrite ? O_TRUNC : O_APPEND);
    }
    const int fd = ::open(path->c_str(), flags, 0666);
    if (fd < 0) {
        desktop.tell(text::sjis("ファイルが作成できません"), MessageIcon::warning);
        return;
    }
    const std::string text = selected_lines_text(store, quote_mark, quote);
    if (!write_all(fd, text.data(), text.size()))
        desktop.tell(text::sjis("ファイル書き込みエラー"));
    ::close(fd);
}

}  // namespace kestrel
