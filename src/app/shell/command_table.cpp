#include "app/shell/command_table.h"

#include "app/dialogs/folders_dialog.h"
#include "app/shell/command_ids.h"
#include "app/shell/main_window.h"

namespace kestrel::app {
namespace {

using Row = CommandRow;
using Kind = CommandRow::Kind;
using When = CommandRow::When;

constexpr QKeyCombination alt(Qt::Key key) { return QKeyCombination(Qt::AltModifier, key); }
constexpr QKeyCombination ctrl(Qt::Key key) { return QKeyCombination(Qt::ControlModifier, key); }

constexpr Row menu(const char* label) { return {.kind = Kind::menu, .label = label}; }
constexpr Row submenu(const char* label) { return {.kind = Kind::submenu, .label = label}; }
constexpr Row end_submenu{.kind = Kind::end_submenu};
constexpr Row separator{.kind = Kind::separator};

}  // namespace

std::span<const CommandRow> command_table() {
    using namespace command;
    using W = MainWindow;
    // `call<&W::f>` runs a member without arguments, `call_id<&W::f>` one taking the id.
    static const Row rows[] = {
        menu("ファイル (&F)    "),
        {.id = upload,
         .label = "アップロード (&U)...\tALT+U",
         .accelerator = alt(Qt::Key_U),
         .run = W::call<&W::upload_command>,
         .enabled = &W::no_upload},
        {.id = abort_upload,
         .label = "アップロード中断(&B)\tALT+B",
         .accelerator = alt(Qt::Key_B),
         .run = W::call<&W::abort_upload_command>,
         .enabled = &W::uploading},
        {.id = send_break, .label = "ブレーク送信", .run = W::call<&W::send_break_command>},
        separator,
        {.id = download,
         .label = "ダウンロード (&D)...\tALT+D",
         .accelerator = alt(Qt::Key_D),
         .run = W::call<&W::download_command>,
         .enabled = &W::no_capture},
        {.id = date_download,
         .label = "日付名 ﾀﾞｳﾝﾛｰﾄﾞ(&Y)\tALT+Y",
         .accelerator = alt(Qt::Key_Y),
         .run = W::call<&W::date_download_command>,
         .enabled = &W::no_capture},
        {.id = end_download,
         .label = "ダウンロード終了(&E) \tALT+E",
         .accelerator = alt(Qt::Key_E),
         .run = W::call<&W::end_download_command>,
         .enabled = &W::capturing},
        separator,
        {.id = exit_program,
         .label = "終了\tALT+X",
         .accelerator = alt(Qt::Key_X),
         .run = W::call<&W::close_window>},
        separator,
        {.id = register_programs,
         .label = "外部ﾌﾟﾛｸﾞﾗﾑ登録",
         .run = W::call<&W::register_programs_command>},
        // Labels written at start-up from the headings.
        submenu("外部ﾌﾟﾛｸﾞﾗﾑ起動"),
        {.id = program_1, .accelerator = alt(Qt::Key_1), .run = W::call_id<&W::run_program>},
        {.id = program_1 + 1, .accelerator = alt(Qt::Key_2), .run = W::call_id<&W::run_program>},
        {.id = program_1 + 2, .accelerator = alt(Qt::Key_3), .run = W::call_id<&W::run_program>},
        {.id = program_1 + 3, .accelerator = alt(Qt::Key_4), .run = W::call_id<&W::run_program>},
        {.id = program_5, .accelerator = alt(Qt::Key_5), .run = W::call_id<&W::run_program>},
        end_submenu,

        menu("編集(&H)    "),
        {.id = copy_clipboard,
         .label = "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへコピー\tCtrl+K",
         .accelerator = ctrl(Qt::Key_K),
         .run = W::call_id<&W::copy_command>,
         .enabled = &W::lines_selected,
         .when = When::popup},
        {.id = clipboard_upload,
         .label = "ｸﾘｯﾌﾟﾎﾞｰﾄﾞからU/L\tCtrl+V",
         .accelerator = ctrl(Qt::Key_V),
         .run = W::call<&W::clipboard_upload_command>,
         .enabled = &W::clipboard_has_text,
         .when = When::popup},
        {.id = copy_clipboard_quoted,
         .label = "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへ引用つきｺﾋﾟｰ\tCtrl+I",
         .accelerator = ctrl(Qt::Key_I),
         .run = W::call_id<&W::copy_command>,
         .enabled = &W::lines_selected,
         .when = When::popup},
        separator,
        {.id = copy_file,
         .label = "ファイルへコピー\tCtrl+F",
         .accelerator = ctrl(Qt::Key_F),
         .run = W::call_id<&W::copy_command>,
         .enabled = &W::lines_selected,
         .when = When::popup},
        {.id = copy_file_quoted,
         .label = "ﾌｧｲﾙへ引用つきｺﾋﾟｰ\tCtrl+M",
         .accelerator = ctrl(Qt::Key_M),
         .run = W::call_id<&W::copy_command>,
         .enabled = &W::lines_selected,
         .when = When::popup},
        separator,
        {.id = clear_scroll_buffer,
         .label = "ｽｸﾛｰﾙﾊﾞｯﾌｧｰ消去",
         .run = W::call<&W::clear_scroll_buffer_command>},
        {.id = clear_marks,
         .label = "マーク消去",
         .run = W::call<&W::clear_marks_command>,
         .enabled = &W::lines_marked,
         .when = When::popup},
        separator,
        {.id = tnc_clock,
         .label = "TNC時刻設定\tCtrl + R",
         .accelerator = ctrl(Qt::Key_R),
         .run = W::call<&W::tnc_clock_command>},

        menu("画面    "),
        {.id = backscroll,
         .label = "ﾊﾞｯｸｽｸﾛｰﾙ\tPageUp",
         .run = W::call<&W::enter_split_view>,
         .enabled = &W::not_split},
        {.id = leave_split,
         .label = "復帰\tESC",
         .run = W::call<&W::leave_split_view>,
         .enabled = &W::split},
        // The search field lives in the back-scroll pane, which must be shown to take the
        // keyboard: split view is entered and laid out first.
        {.id = search,
         .label = "検索\tALT+G",
         .accelerator = alt(Qt::Key_G),
         .run =
             [](W& w, int) {
                 if (!w.split()) {
                     w.enter_split_view();
                     w.on_split_view_due(true);
                 }
                 w.backscroll_pane_->open_search();
             }},
        separator,
        {.id = move_divider_up,
         .label = "区切り線上へ\tCtrl+↑",
         .run = W::call<&W::divider_up>,
         .enabled = &W::split},
        {.id = move_divider_down,
         .label = "区切り線下へ\tCtrl+↓",
         .run = W::call<&W::divider_down>,
         .enabled = &W::split},
        separator,
        {.id = chat,
         .label = "チャットモード\tALT+C",
         .accelerator = alt(Qt::Key_C),
         .run = W::call<&W::toggle_chat>,
         .checked = &W::chat_open},
        {.id = pc_scope,
         .label = "ＰＣスコープ\tALT+S",
         .accelerator = alt(Qt::Key_S),
         .run = W::call<&W::toggle_pc_scope>,
         .checked = &W::pc_scope_open},
        {.id = talk,
         .label = "TALK モード\tALT+T",
         .accelerator = alt(Qt::Key_T),
         .run = W::call<&W::toggle_talk>,
         .checked = &W::talk_open},

        menu("設定(&S)    "),
        {.id = rs232c, .label = "RS232C...", .run = W::call<&W::rs232c_menu_command>},
        {.id = font_size, .label = "文字の大きさ...", .run = W::call<&W::font_command>},
        {.id = reverse_video,
         .label = "白黒反転",
         .run = W::call<&W::reverse_video_command>,
         .checked = &W::reversed},
        {.id = folders,
         .label = "フォルダー",
         .run =
             [](W& w, int) {
                 run_folders_dialog(&w, w.s_.settings, w.run_dialog,
                                    &w.s_.link.rbbs().records_mutex);
             }},
        {.id = toggle_tool_bar,
         .label = "ツールバー",
         .run = W::call<&W::tool_bar_command>,
         .checked = &W::tool_bar_shown},
        {.id = pause_string, .label = "U/Lﾎﾟｰｽﾞ文字列", .run = W::call<&W::pause_string_command>},
        submenu("色指定"),
        {.id = cursor_colour, .label = "カーソルの色", .run = W::call_id<&W::colour_command>},
        {.id = selection_colour, .label = "選択エリアの色", .run = W::call_id<&W::colour_command>},
        {.id = quote_colour, .label = "引用行の色", .run = W::call_id<&W::colour_command>},
        {.id = pause_colour, .label = "U/Lポーズの色", .run = W::call_id<&W::colour_command>},
        end_submenu,
        {.id = cluster_options,
         .label = "ﾊﾟｹｯﾄｸﾗｽﾀｰ関連",
         .run = W::call<&W::cluster_options_command>},
        {.id = key_macros, .label = "ｷｰﾏｸﾛ登録", .run = W::call<&W::key_macro_command>},
        {.id = time_stamp, .label = "タイムスタンプ", .run = W::call<&W::time_stamp_command>},
        separator,
        {.id = save_settings, .label = "設定保存", .run = W::call<&W::save_settings_command>},

        // Labels written at run time from the records.
        menu("RBBS(&R) "),
        {.id = rbbs_first, .last_id = rbbs_twelfth, .run = W::call_id<&W::rbbs_command>},
        {.id = rbbs_thirteenth, .last_id = rbbs_last, .run = W::call_id<&W::rbbs_command>},

        menu("ﾍﾙﾌﾟ    "),
        {.id = help, .label = "ヘルプ", .run = W::call<&W::help_command>},
        {.id = about, .label = "Kestrel に ついて...", .run = W::call<&W::about_box>},
        separator,
        {.id = home_page, .label = "ﾎｰﾑﾍﾟｰｼﾞ", .run = W::call<&W::home_page_command>},
    };
    return rows;
}

}  // namespace kestrel::app
