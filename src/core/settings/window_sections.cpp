// The sections written at their own moments rather than by save_settings: the window
// rectangles, colours, key macros, the TALK partner and the external programs.

#include <string>

#include "core/settings/profile.h"
#include "core/settings/settings_io.h"

namespace kestrel {
namespace {

constexpr std::string_view win_rect = "WIN_RECT";
constexpr std::string_view scope_rect = "SCOPE_RECT";
constexpr std::string_view talk_rect = "TALK_RECT";
constexpr std::string_view key_macro = "KEY_MACRO";
constexpr std::string_view talk_env = "TALK_ENV";

struct ColourSection {
    std::string_view name;
    Colour Settings::*field;
    Colour fallback;
};

constexpr ColourSection colour_sections[] = {
    {"INYOU_COL", &Settings::inyou_col, {0, 255, 0}},
    {"CURSOR_COL", &Settings::cursor_col, {0, 0, 128}},
    {"AREA_COL", &Settings::area_col, {0, 128, 128}},
    {"PAUSE_COL", &Settings::pause_col, {0, 255, 255}},
};

Rect read_rect(const Profile& profile, std::string_view section, std::size_t buffer_size) {
    const Rect fallback;
    return {profile.get_number(section, "LEFT", fallback.left, buffer_size),
            profile.get_number(section, "TOP", fallback.top, buffer_size),
            profile.get_number(section, "RIGHT", fallback.right, buffer_size),
            profile.get_number(section, "BOTTOM", fallback.bottom, buffer_size)};
}

void write_rect(Profile& profile, std::string_view section, const Rect& rect) {
    profile.set_number(section, "LEFT", rect.left);
    profile.set_number(section, "TOP", rect.top);
    profile.set_number(section, "RIGHT", rect.right);
    profile.set_number(section, "BOTTOM", rect.bottom);
}

// Each component comes from a 4-byte buffer (three digits) and keeps its low 8 bits.
Colour read_colour(const Profile& profile, std::string_view section, Colour fallback) {
    auto component = [&](std::string_view key, std::uint8_t value) {
        return static_cast<std::uint8_t>(profile.get_number(section, key, value, 4));
    };
    return {component("R", fallback.r), component("G", fallback.g), component("B", fallback.b)};
}

std::string macro_key(int index) { return std::string(1, static_cast<char>('A' + index)); }
std::string program_section(int index) { return "EXT_EXEC" + std::to_string(index + 1); }

}  // namespace

void load_window_colours_macros(const SettingsFile& file, Settings& settings) {
    Profile profile = file.read();
    settings.window = read_rect(profile, win_rect, 10);
    settings.kyokai = profile.get_number(win_rect, "kyokai", 10, 10);
    for (const auto& c : colour_sections) {
        settings.*c.field = read_colour(profile, c.name, c.fallback);
    }
    for (int i = 0; i < key_macro_count; ++i) {
        settings.key_macros[i].assign(profile.get(key_macro, macro_key(i), " ", 78));
    }
}

bool save_colours_macros(const SettingsFile& file, const Settings& settings) {
    Profile profile = file.read();
    for (const auto& c : colour_sections) {
        const Colour& colour = settings.*c.field;
        profile.set_number(c.name, "R", colour.r);
        profile.set_number(c.name, "G", colour.g);
        profile.set_number(c.name, "B", colour.b);
    }
    for (int i = 0; i < key_macro_count; ++i) {
        profile.set(key_macro, macro_key(i), settings.key_macros[i].view());
    }
    return file.write(profile);
}

bool save_window_and_fkey_no(const SettingsFile& file, const Settings& settings) {
    // A frame pushed off the top or left of the screen would open there again, out of reach.
    Rect window = settings.window;
    if (window.left < 0) window.left = 0;
    if (window.top < 0) window.top = 0;

    Profile profile = file.read();
    write_rect(profile, win_rect, window);
    profile.set_number(win_rect, "kyokai", settings.kyokai);
    profile.set_number("ENV", "DEFAULT_FKEY_NO", settings.default_fkey_no);
    return file.write(profile);
}

void load_scope_rect(const SettingsFile& file, Settings& settings) {
    settings.scope_rect = read_rect(file.read(), scope_rect, 10);
}

bool save_scope_rect(const SettingsFile& file, const Settings& settings) {
    Profile profile = file.read();
    write_rect(profile, scope_rect, settings.scope_rect);
    return file.write(profile);
}

void load_talk_rect(const SettingsFile& file, Settings& settings) {
    settings.talk_rect = read_rect(file.read(), talk_rect, 30);
}

bool save_talk_rect(const SettingsFile& file, const Settings& settings) {
    Profile profile = file.read();
    write_rect(profile, talk_rect, settings.talk_rect);
    return file.write(profile);
}

void load_talk_call_sign(const SettingsFile& file, Settings& settings) {
    settings.talk_call_sign.assign(file.read().get(talk_env, "CALL_SIGN", "", 12));
}

bool save_talk_call_sign(const SettingsFile& file, const Settings& settings) {
    Profile profile = file.read();
    profile.set(talk_env, "CALL_SIGN", settings.talk_call_sign.view());
    return file.write(profile);
}

void load_external_programs(const SettingsFile& file, Settings& settings) {
    Profile profile = file.read();
    for (int i = 0; i < external_program_count; ++i) {
        std::string section = program_section(i);
        settings.external_programs[i].name.assign(profile.get(section, "NAME", " ", 70));
        settings.external_programs[i].path.assign(profile.get(section, "PATH", " ", 70));
    }
}

bool save_external_programs(const SettingsFile& file, const Settings& settings) {
    Profile profile = file.read();
    for (int i = 0; i < external_program_count; ++i) {
        std::string section = program_section(i);
        profile.set(section, "NAME", settings.external_programs[i].name.view());
        profile.set(section, "PATH", settings.external_programs[i].path.view());
    }
    return file.write(profile);
}

}  // namespace kestrel
