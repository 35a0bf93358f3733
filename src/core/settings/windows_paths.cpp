#include "core/settings/windows_paths.h"

#include "core/text/sjis.h"

namespace kestrel {

bool is_windows_path(std::string_view cp932) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (cp932.size() >= 2 && letter(cp932[0]) && cp932[1] == ':') return true;
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        if (text::is_lead_byte(cp932[i]) && i + 1 < cp932.size()) {
            ++i;
        } else if (cp932[i] == '\\') {
            return true;
        }
    }
    return false;
}

std::vector<std::string> windows_path_settings(const Settings& settings) {
    std::vector<std::string> held;
    const auto check = [&held](std::string_view name, std::string_view value) {
        if (is_windows_path(value)) held.push_back(std::string(name) + "=" + std::string(value));
    };
    check("DIR DL_DIR", settings.dl_dir.view());
    check("DIR UL_DIR", settings.ul_dir.view());
    for (std::size_t i = 0; i < settings.external_programs.size(); ++i) {
        check("EXT_EXEC" + std::to_string(i + 1) + " PATH",
              settings.external_programs[i].path.view());
    }
    return held;
}

std::string usable_folder(std::string_view cp932) {
    return is_windows_path(cp932) ? std::string() : text::path_from_cp932(cp932);
}

}  // namespace kestrel
