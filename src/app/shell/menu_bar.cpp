#include "app/shell/menu_bar.h"

#include <string>

#include "app/shell/command_ids.h"

namespace kestrel::app {

namespace {

struct Item {
    int id;  // 0: separator
    const char* label;
    QKeyCombination accelerator;
};

constexpr QKeyCombination none{};
constexpr Item separator{0, nullptr, none};

QKeyCombination alt(Qt::Key key) { return QKeyCombination(Qt::AltModifier, key); }
QKeyCombination ctrl(Qt::Key key) { return QKeyCombination(Qt::ControlModifier, key); }

class Builder {
public:
    Builder(MenuActions& out, const std::function<void(int)>& dispatch)
        : out_(out), dispatch_(dispatch) {}

    void add(QMenu* menu, const Item& item) {
        if (item.id == 0) {
            menu->addSeparator();
            return;
        }
        QAction* action = menu->addAction(QString::fromUtf8(item.label));
        if (item.accelerator != none) {
            action->setShortcut(QKeySequence(item.accelerator));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        const int id = item.id;
        QObject::connect(action, &QAction::triggered, action, [d = dispatch_, id] { d(id); });
        out_.items[id] = action;
    }
    void add_all(QMenu* menu, std::initializer_list<Item> items) {
        for (const Item& item : items) add(menu, item);
    }

private:
    MenuActions& out_;
    std::function<void(int)> dispatch_;
};

}  // namespace

std::string rbbs_key_name(int record) {
    if (record < 12) return "F" + std::to_string(record + 1);
    const int n = record - 11;
    return n < 10 ? "SHIFT + F" + std::to_string(n) : "SHIFT+ F" + std::to_string(n);
}

std::string rbbs_menu_label(int record, std::string_view name) {
    std::string label = "<" + rbbs_key_name(record) + "> ";
    label.append(name);
    if (label.size() > 30) label.resize(30);
    return label;
}

MenuActions build_menu_bar(QMenuBar* bar, const std::function<void(int)>& dispatch) {
    using namespace command;
    MenuActions out;
    Builder b(out, dispatch);

    QMenu* file = bar->addMenu(QStringLiteral("ファイル (&F)    "));
    b.add_all(file, {
                        {upload, "アップロード (&U)...\tALT+U", alt(Qt::Key_U)},
                        {abort_upload, "アップロード中断(&B)\tALT+B", alt(Qt::Key_B)},
                        {send_break, "ブレーク送信", none},
                        separator,
                        {download, "ダウンロード (&D)...\tALT+D", alt(Qt::Key_D)},
                        {date_download, "日付名 ﾀﾞｳﾝﾛｰﾄﾞ(&Y)\tALT+Y", alt(Qt::Key_Y)},
                        {end_download, "ダウンロード終了(&E) \tALT+E", alt(Qt::Key_E)},
                        separator,
                        {exit_program, "終了\tALT+X", alt(Qt::Key_X)},
                        separator,
                        {register_programs, "外部ﾌﾟﾛｸﾞﾗﾑ登録", none},
                    });
    QMenu* programs = file->addMenu(QStringLiteral("外部ﾌﾟﾛｸﾞﾗﾑ起動"));
    for (int i = 0; i < 5; ++i) {
        b.add(programs, {program_1 + i, "", alt(Qt::Key(Qt::Key_1 + i))});
        out.items[program_1 + i]->setText(QStringLiteral("\tALT+%1").arg(i + 1));
    }

    QMenu* edit = bar->addMenu(QStringLiteral("編集(&H)    "));
    b.add_all(edit,
              {
                  {copy_clipboard, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへコピー\tCtrl+K", ctrl(Qt::Key_K)},
                  {clipboard_upload, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞからU/L\tCtrl+V", ctrl(Qt::Key_V)},
                  {copy_clipboard_quoted, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへ引用つきｺﾋﾟｰ\tCtrl+I", ctrl(Qt::Key_I)},
                  separator,
                  {copy_file, "ファイルへコピー\tCtrl+F", ctrl(Qt::Key_F)},
                  {copy_file_quoted, "ﾌｧｲﾙへ引用つきｺﾋﾟｰ\tCtrl+M", ctrl(Qt::Key_M)},
                  separator,
                  {clear_scroll_buffer, "ｽｸﾛｰﾙﾊﾞｯﾌｧｰ消去", none},
                  {clear_marks, "マーク消去", none},
                  separator,
                  {tnc_clock, "TNC時刻設定\tCtrl + R", ctrl(Qt::Key_R)},
              });

    QMenu* view = bar->addMenu(QStringLiteral("画面    "));
    b.add_all(view, {
                        {backscroll, "ﾊﾞｯｸｽｸﾛｰﾙ\tPageUp", none},
                        {leave_split, "復帰\tESC", none},
                        separator,
                        {move_divider_up, "区切り線上へ\tCtrl+↑", none},
                        {move_divider_down, "区切り線下へ\tCtrl+↓", none},
                        separator,
                        {chat, "チャットモード\tALT+C", alt(Qt::Key_C)},
                        {pc_scope, "ＰＣスコープ\tALT+S", alt(Qt::Key_S)},
                        {talk, "TALK モード\tALT+T", alt(Qt::Key_T)},
                    });

    QMenu* setup = bar->addMenu(QStringLiteral("設定(&S)    "));
    b.add_all(setup, {
                         {rs232c, "RS232C...", none},
                         {font_size, "文字の大きさ...", none},
                         {reverse_video, "白黒反転", none},
                         {folders, "フォルダー", none},
                         {toggle_tool_bar, "ツールバー", none},
                         {pause_string, "U/Lﾎﾟｰｽﾞ文字列", none},
                     });
    QMenu* colours = setup->addMenu(QStringLiteral("色指定"));
    b.add_all(colours, {
                           {cursor_colour, "カーソルの色", none},
                           {selection_colour, "選択エリアの色", none},
                           {quote_colour, "引用行の色", none},
                           {pause_colour, "U/Lポーズの色", none},
                       });
    b.add_all(setup, {
                         {cluster_options, "ﾊﾟｹｯﾄｸﾗｽﾀｰ関連", none},
                         {key_macros, "ｷｰﾏｸﾛ登録", none},
                         {time_stamp, "タイムスタンプ", none},
                         separator,
                         {save_settings, "設定保存", none},
                     });

    QMenu* rbbs = bar->addMenu(QStringLiteral("RBBS(&R) "));
    for (int record = 0; record < 24; ++record) b.add(rbbs, {rbbs_item(record), "", none});

    QMenu* help_menu = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ    "));
    b.add_all(help_menu, {
                             {help, "ヘルプ", none},
                             {about, "Kestrel に ついて...", none},
                             separator,
                             {home_page, "ﾎｰﾑﾍﾟｰｼﾞ", none},
                         });

    out.items[reverse_video]->setCheckable(true);
    out.items[toggle_tool_bar]->setCheckable(true);
    out.items[chat]->setCheckable(true);
    out.items[pc_scope]->setCheckable(true);
    out.items[talk]->setCheckable(true);
    for (auto& [id, action] : out.items) {
        action->setObjectName(QStringLiteral("command_%1").arg(id));
        action->setData(id);
    }
    out.menus = {file, edit, view, setup, rbbs, help_menu};
    return out;
}

}  // namespace kestrel::app
