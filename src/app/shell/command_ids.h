#pragma once
// The command ids every menu item, accelerator and toolbar button produces.

namespace kestrel::app {

namespace command {

enum Id : int {
    upload = 40012,
    abort_upload = 40024,
    send_break = 40074,
    download = 40013,
    date_download = 40050,
    end_download = 40023,
    exit_program = 40014,
    register_programs = 40097,
    program_1 = 40098,  // .. 40102
    program_5 = 40102,
    copy_clipboard = 40011,
    clipboard_upload = 40079,
    copy_clipboard_quoted = 40078,
    copy_file = 40015,
    copy_file_quoted = 40081,
    clear_scroll_buffer = 40075,
    clear_marks = 40077,
    tnc_clock = 40096,
    backscroll = 40071,
    leave_split = 40072,
    move_divider_up = 40055,
    move_divider_down = 40056,
    chat = 40076,
    pc_scope = 40113,
    talk = 40114,
    search = 40130,
    rs232c = 40021,
    font_size = 40025,
    reverse_video = 40026,
    folders = 40027,
    toggle_tool_bar = 40054,
    pause_string = 40073,
    cursor_colour = 40107,
    selection_colour = 40108,
    quote_colour = 40109,
    pause_colour = 40111,
    cluster_options = 40082,
    key_macros = 40110,
    time_stamp = 40115,
    save_settings = 40029,
    rbbs_first = 40034,  // records 0..11: 40034..40045
    rbbs_twelfth = 40045,
    rbbs_thirteenth = 40084,  // records 12..23: 40084..40095
    rbbs_last = 40095,
    help = 40031,
    about = 40030,
    home_page = 40112,
};

// The menu id of RBBS record 0..23.
constexpr int rbbs_item(int record) {
    return record < 12 ? rbbs_first + record : rbbs_thirteenth + record - 12;
}

}  // namespace command

}  // namespace kestrel::app
