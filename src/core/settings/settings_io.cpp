#include "core/settings/settings_io.h"

#include <algorithm>
#include <string>

#include "core/settings/profile.h"
#include "core/text/sjis.h"

namespace kestrel {
namespace {

constexpr std::string_view rs232c = "RS232C";
constexpr std::string_view env = "ENV";
constexpr std::string_view font = "FONT";
constexpr std::string_view dir = "DIR";
constexpr std::string_view port_devices = "PORT_DEVICES";

template <typename Record>
struct NumberKey {
    std::string_view key;
    std::int32_t Record::*field;
    std::int32_t fallback;
};

// Parity has no key: every run starts without it.
constexpr NumberKey<PortSettings> rs232c_keys[] = {
    {"COM_PORT", &PortSettings::port_number, 1},
    {"BOUD", &PortSettings::baud_rate, 9600},
    {"BIT_LEN", &PortSettings::bit_length, 8},
    {"STOP", &PortSettings::stop_bits, 0},
    {"HARD_FLOW", &PortSettings::flow_control, 0},
    {"LOCAL_ECHO", &PortSettings::local_echo, 1},
    {"TX_LF", &PortSettings::tx_lf, 0},
    {"RX_LF", &PortSettings::rx_lf, 0},
    {"UL_WAIT", &PortSettings::upload_wait, 0},
    {"ADD_DSR", &PortSettings::dsr_watch, 1},
};

constexpr NumberKey<Settings> font_keys[] = {
    {"FONT_TYPE", &Settings::font_type, 0},
    {"LOG_FONT_X", &Settings::log_font_x, 0},
    {"LOG_FONT_Y", &Settings::log_font_y, 13},
    {"BS_YOHAKU", &Settings::bs_yohaku, 1},
};

std::string rbbs_section(int index) { return "PROPATY" + std::to_string(index + 1); }
std::string port_device_key(int index) { return "COM" + std::to_string(index + 1); }
std::string port_device_default(int index) { return "/dev/ttyS" + std::to_string(index); }

void read_rbbs(const Profile& profile, std::string_view section, RbbsRecord& record) {
    record.name.assign(profile.get(section, "CALLSIGN", "", 80));
    record.connect_command.assign(profile.get(section, "COMMAND", "", 80));
    record.connect_file.assign(profile.get(section, "CONNECT_FILE", "", 80));
    record.read_command.assign(profile.get(section, "R", "R", 10));
    // A lone space cannot be stored (the reader drops blanks), so "0" stands for it.
    std::string separator = profile.get(section, "SEPARATER", ",", 2);
    record.separator.assign(separator == "0" ? " " : separator);
    record.sort = static_cast<std::int16_t>(profile.get_number(section, "SORT", 0));
    record.extension.assign(profile.get(section, "EXTENTION", "", 80));
    record.dl_start.assign(profile.get(section, "DL_START_STR", "", 80));
    record.dl_end.assign(profile.get(section, "DL_END_STR", "", 80));
    record.dl_start_valid = profile.get_number(section, "DL_START_STR_VALID", 0);
    record.dl_end_valid = profile.get_number(section, "DL_END_STR_VALID", 0);
    record.unproto.assign(profile.get(section, "UNPROTO", " ", 81));
    record.saver = profile.get_number(section, "SAVER", 0, 2);
    record.prompt_wait.assign(profile.get(section, "PROMPT_WAIT", "", 80));
    // Zero or less would not wait at all: the default instead.
    const std::int32_t timeout =
        profile.get_number(section, "PROMPT_TIMEOUT", prompt_timeout_default);
    record.prompt_timeout =
        timeout < 1 ? prompt_timeout_default : std::min(timeout, prompt_timeout_max);
}

void write_rbbs(Profile& profile, std::string_view section, const RbbsRecord& record) {
    profile.set(section, "CALLSIGN", record.name.view());
    profile.set(section, "COMMAND", record.connect_command.view());
    profile.set(section, "CONNECT_FILE", record.connect_file.view());
    profile.set(section, "R", record.read_command.view());
    profile.set(section, "SEPARATER",
                record.separator.view().starts_with(' ') ? "0" : record.separator.view());
    profile.set_number(section, "SORT", record.sort);
    profile.set(section, "EXTENTION", record.extension.view());
    profile.set(section, "DL_START_STR", record.dl_start.view());
    profile.set(section, "DL_END_STR", record.dl_end.view());
    profile.set_number(section, "DL_START_STR_VALID", record.dl_start_valid);
    profile.set_number(section, "DL_END_STR_VALID", record.dl_end_valid);
    profile.set(section, "UNPROTO", record.unproto.view());
    profile.set_number(section, "SAVER", record.saver);
    // Only where the prompt wait is used or was: a file that never used it keeps its bytes.
    if (!record.prompt_wait.empty() || profile.has(section, "PROMPT_WAIT") ||
        profile.has(section, "PROMPT_TIMEOUT")) {
        profile.set(section, "PROMPT_WAIT", record.prompt_wait.view());
        profile.set_number(section, "PROMPT_TIMEOUT", record.prompt_timeout);
    }
}

}  // namespace

void load_settings(const SettingsFile& file, Settings& settings) {
    Profile profile = file.read();

    for (const auto& k : rs232c_keys) {
        settings.port.*k.field = profile.get_number(rs232c, k.key, k.fallback);
    }
    if (settings.port.port_number < 1 || settings.port.port_number > port_count) {
        settings.port.port_number = 1;
    }
    if (settings.port.upload_wait < 0) settings.port.upload_wait = 0;

    settings.jst = profile.get_number(env, "JST", 1);
    settings.tool_bar = profile.get_number(env, "TOOL_BAR", 1);
    settings.pause_str.assign(profile.get(env, "PAUSE_STR", "/**/", 80));
    settings.inyou_str.assign(profile.get(env, "INYOU_STR", ">", 8));
    settings.rev_text_col = profile.get_number(env, "REV_TEXT_COL", 1);
    settings.bell_on = profile.get_number(env, "BELL_ON", 1);
    settings.small_pc_scope = profile.get_number(env, "SMALL_PC_SCOPE", 0, 10);

    for (const auto& k : font_keys) settings.*k.field = profile.get_number(font, k.key, k.fallback);

    settings.dl_dir.assign(profile.get(dir, "DL_DIR", "", 255));
    settings.ul_dir.assign(profile.get(dir, "UL_DIR", "", 255));
    settings.time_stamp = profile.get_number(env, "TIME_STAMP", 0, 10);
    settings.watch_list.assign(profile.get("WATCH_LIST", "CALLS", "", 512));

    for (int i = 0; i < rbbs_count; ++i) read_rbbs(profile, rbbs_section(i), settings.rbbs[i]);

    for (int i = 0; i < port_count; ++i) {
        settings.port_devices[i].assign(
            profile.get(port_devices, port_device_key(i), port_device_default(i), 256));
    }
    settings.port.reconnect = profile.get_number(port_devices, "RECONNECT", 1);
}

bool save_settings(const SettingsFile& file, const Settings& settings, Desktop& desktop) {
    // The name is a file-system name (UTF-8); the desktop takes CP932.
    std::string question = text::utf8_to_cp932(file.name()) + text::sjis(" に設定を保存しますか？");
    if (desktop.message_box(question, message_caption, MessageIcon::none, MessageButtons::yes_no) !=
        MessageAnswer::yes) {
        return false;
    }

    Profile profile = file.read();

    for (const auto& k : rs232c_keys) profile.set_number(rs232c, k.key, settings.port.*k.field);

    profile.set_number(env, "JST", settings.jst);
    profile.set_number(env, "TOOL_BAR", settings.tool_bar);
    profile.set(env, "PAUSE_STR", settings.pause_str.view());
    profile.set(env, "INYOU_STR", settings.inyou_str.view());
    profile.set_number(env, "REV_TEXT_COL", settings.rev_text_col);
    profile.set_number(env, "BELL_ON", settings.bell_on);
    profile.set_number(env, "SMALL_PC_SCOPE", settings.small_pc_scope);

    for (const auto& k : font_keys) profile.set_number(font, k.key, settings.*k.field);

    profile.set(dir, "DL_DIR", settings.dl_dir.view());
    profile.set(dir, "UL_DIR", settings.ul_dir.view());
    profile.set_number(env, "TIME_STAMP", settings.time_stamp);
    // Written once there is a list, so files of operators without one keep their bytes.
    if (!settings.watch_list.empty() || !profile.get("WATCH_LIST", "CALLS", "", 2).empty()) {
        profile.set("WATCH_LIST", "CALLS", settings.watch_list.view());
    }

    for (int i = 0; i < rbbs_count; ++i) write_rbbs(profile, rbbs_section(i), settings.rbbs[i]);

    for (int i = 0; i < port_count; ++i) {
        profile.set(port_devices, port_device_key(i), settings.port_devices[i].view());
    }
    profile.set_number(port_devices, "RECONNECT", settings.port.reconnect);

    return file.write(profile);
}

void load_default_fkey_no(const SettingsFile& file, Settings& settings) {
    std::int32_t n = file.read().get_number(env, "DEFAULT_FKEY_NO", 0, 4);
    settings.default_fkey_no = n < 0 || n >= rbbs_count ? 0 : n;
}

}  // namespace kestrel
