#include "app/shell/tool_bar.h"

#include <QAction>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "app/shell/command_ids.h"

namespace kestrel::app {

namespace {

// Drawn on a 16 x 15 grid, scaled up so that the images stay sharp on dense screens.
constexpr int scale = 2;

enum Image {
    upload_image,
    abort_upload_image,
    download_image,
    date_download_image,
    end_download_image,
    copy_clipboard_image,
    copy_file_image,
    divider_up_image,
    divider_down_image,
    leave_split_image,
    chat_image,
    program_1_image,
    program_2_image,
};

const QColor ink(32, 32, 32);
const QColor blue(30, 90, 200);
const QColor green(20, 140, 60);
const QColor red(200, 30, 30);

void arrow(QPainter& p, QPointF tip, bool up, const QColor& colour) {
    QPainterPath path;
    const double d = up ? 1 : -1;
    path.moveTo(tip);
    path.lineTo(tip.x() - 4, tip.y() + 4 * d);
    path.lineTo(tip.x() - 1.5, tip.y() + 4 * d);
    path.lineTo(tip.x() - 1.5, tip.y() + 8 * d);
    path.lineTo(tip.x() + 1.5, tip.y() + 8 * d);
    path.lineTo(tip.x() + 1.5, tip.y() + 4 * d);
    path.lineTo(tip.x() + 4, tip.y() + 4 * d);
    path.closeSubpath();
    p.fillPath(path, colour);
}

void page(QPainter& p, QRectF r) {
    p.setPen(QPen(ink, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(r);
    for (double y = r.top() + 2.5; y < r.bottom() - 1; y += 2) {
        p.drawLine(QPointF(r.left() + 1.5, y), QPointF(r.right() - 1.5, y));
    }
}

void cross(QPainter& p, QPointF c) {
    p.setPen(QPen(red, 1.6));
    p.drawLine(c + QPointF(-2.5, -2.5), c + QPointF(2.5, 2.5));
    p.drawLine(c + QPointF(-2.5, 2.5), c + QPointF(2.5, -2.5));
}

void divider(QPainter& p, bool up) {
    p.setPen(QPen(ink, 1.2));
    p.drawLine(QPointF(1, 7.5), QPointF(15, 7.5));
    QPainterPath path;
    if (up) {
        path.moveTo(8, 1);
        path.lineTo(4, 5.5);
        path.lineTo(12, 5.5);
    } else {
        path.moveTo(8, 14);
        path.lineTo(4, 9.5);
        path.lineTo(12, 9.5);
    }
    path.closeSubpath();
    p.fillPath(path, blue);
}

void program(QPainter& p, const QString& digit) {
    p.setPen(QPen(ink, 0.8));
    p.setBrush(QColor(230, 230, 240));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 12), 1.5, 1.5);
    p.fillRect(QRectF(1.5, 1.5, 13, 3), blue);
    QFont font;
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QRectF(1.5, 4.5, 13, 9), Qt::AlignCenter, digit);
}

QIcon draw_image(Image image) {
    QPixmap pixmap(16 * scale, 15 * scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    switch (image) {
        case upload_image:
            p.fillRect(QRectF(2, 12, 12, 2), ink);
            arrow(p, QPointF(8, 1), true, blue);
            break;
        case abort_upload_image:
            p.fillRect(QRectF(1, 12, 9, 2), ink);
            arrow(p, QPointF(5.5, 1), true, blue);
            cross(p, QPointF(12, 9));
            break;
        case download_image:
            p.fillRect(QRectF(2, 12, 12, 2), ink);
            arrow(p, QPointF(8, 10.5), false, green);
            break;
        case date_download_image:
            p.setPen(QPen(ink, 0.8));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(1.5, 3.5, 9, 9));
            p.fillRect(QRectF(1.5, 3.5, 9, 2.5), red);
            p.fillRect(QRectF(3.5, 8, 2, 2), ink);
            arrow(p, QPointF(12.5, 13.5), false, green);
            break;
        case end_download_image:
            arrow(p, QPointF(6, 10.5), false, green);
            p.fillRect(QRectF(1, 12, 10, 2), ink);
            p.fillRect(QRectF(11.5, 3, 3.5, 9), red);
            break;
        case copy_clipboard_image:
            p.setPen(QPen(ink, 0.8));
            p.setBrush(QColor(190, 140, 80));
            p.drawRoundedRect(QRectF(1.5, 2.5, 9, 11.5), 1, 1);
            p.fillRect(QRectF(4, 1.5, 4, 2), ink);
            page(p, QRectF(6.5, 5.5, 8, 9));
            break;
        case copy_file_image:
            page(p, QRectF(1.5, 1.5, 8, 10));
            p.setPen(QPen(ink, 0.8));
            p.setBrush(blue);
            p.drawRect(QRectF(8.5, 7.5, 6.5, 7));
            p.fillRect(QRectF(10, 8, 3.5, 2.5), Qt::white);
            break;
        case divider_up_image: divider(p, true); break;
        case divider_down_image: divider(p, false); break;
        case leave_split_image: {
            p.setPen(QPen(ink, 0.8));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(1.5, 1.5, 13, 12));
            p.drawLine(QPointF(1.5, 6.5), QPointF(14.5, 6.5));
            arrow(p, QPointF(8, 13), false, green);
            break;
        }
        case chat_image: {
            QPainterPath bubble;
            bubble.addRoundedRect(QRectF(1, 1.5, 14, 9), 3, 3);
            bubble.moveTo(4, 10);
            bubble.lineTo(3, 14);
            bubble.lineTo(8, 10);
            p.setPen(QPen(ink, 0.8));
            p.setBrush(QColor(255, 250, 200));
            p.drawPath(bubble.simplified());
            p.setPen(QPen(ink, 1));
            p.drawLine(QPointF(4, 5), QPointF(12, 5));
            p.drawLine(QPointF(4, 7.5), QPointF(10, 7.5));
            break;
        }
        case program_1_image: program(p, QStringLiteral("1")); break;
        case program_2_image: program(p, QStringLiteral("2")); break;
    }
    p.end();
    pixmap.setDevicePixelRatio(scale);
    return QIcon(pixmap);
}

struct Button {
    int image;  // -1: separator
    int id;
};

constexpr Button buttons[18] = {
    {-1, 0},
    {upload_image, command::upload},
    {abort_upload_image, command::abort_upload},
    {-1, 0},
    {download_image, command::download},
    {date_download_image, command::date_download},
    {end_download_image, command::end_download},
    {-1, 0},
    {copy_clipboard_image, command::copy_clipboard},
    {copy_file_image, command::copy_file},
    {-1, 0},
    {divider_up_image, command::move_divider_up},
    {divider_down_image, command::move_divider_down},
    {leave_split_image, command::leave_split},
    {chat_image, command::chat},
    {-1, 0},
    {program_1_image, command::program_1},
    {program_2_image, command::program_1 + 1},
};

}  // namespace

QString tool_tip(int id, const QString& program_1, const QString& program_2) {
    switch (id) {
        case command::copy_clipboard: return QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰ");
        case command::upload: return QStringLiteral("ｱｯﾌﾟﾛｰﾄﾞ");
        case command::download: return QStringLiteral("ﾀﾞｳﾝﾛｰﾄﾞ");
        case command::copy_file: return QStringLiteral("ﾌｧｲﾙへｺﾋﾟｰ");
        case command::end_download: return QStringLiteral("ﾀﾞｳﾝﾛｰﾄﾞ終了");
        case command::abort_upload: return QStringLiteral("ｱｯﾌﾟﾛｰﾄﾞ中断");
        case command::date_download: return QStringLiteral("日付名ﾀﾞｳﾝﾛｰﾄﾞ");
        case command::move_divider_up: return QStringLiteral("区切り線を上へ");
        case command::move_divider_down: return QStringLiteral("区切り線を下へ");
        case command::leave_split: return QStringLiteral("分割画面から復帰");
        case command::chat: return QStringLiteral("チャットモード");
        case command::program_1: return program_1;
        case command::program_1 + 1: return program_2;
        default: return {};
    }
}

void show_program_tips(ToolBar& bar, const QString& program_1, const QString& program_2) {
    for (int id : {int(command::program_1), command::program_1 + 1}) {
        // The heading is the tip, even empty; a screen reader still hears what the button is.
        const QString tip = tool_tip(id, program_1, program_2);
        QAction* button = bar.buttons.at(id);
        button->setToolTip(tip);
        button->setText(tip);
        bar.bar->widgetForAction(button)->setAccessibleName(
            tip.isEmpty() ? QStringLiteral("外部ﾌﾟﾛｸﾞﾗﾑ %1").arg(id - command::program_1 + 1)
                          : tip);
    }
}

ToolBar build_tool_bar(QWidget* parent, const std::function<void(int)>& dispatch) {
    ToolBar out;
    out.bar = new QToolBar(QStringLiteral("ツールバー"), parent);
    out.bar->setObjectName(QStringLiteral("toolbar"));
    out.bar->setAccessibleName(QStringLiteral("ツールバー"));
    out.bar->setMovable(false);
    out.bar->setFloatable(false);
    // Only the toolbar command shows and hides it, and keeps its check mark and TOOL_BAR
    // with it: no context menu on the bar, and the main window's own menu (right click on
    // the menu bar) finds no toggle to offer.
    out.bar->setContextMenuPolicy(Qt::PreventContextMenu);
    out.bar->toggleViewAction()->setVisible(false);
    out.bar->setIconSize(QSize(16, 15));
    for (const Button& button : buttons) {
        if (button.image < 0) {
            out.bar->addSeparator();
            continue;
        }
        // Its own action, not the menu's: the menu's may be grayed, the button never is.
        QAction* action = out.bar->addAction(draw_image(Image(button.image)), QString());
        const int id = button.id;
        action->setObjectName(QStringLiteral("button_%1").arg(id));
        const QString tip = tool_tip(id, {}, {});
        action->setToolTip(tip);
        action->setText(tip);
        QObject::connect(action, &QAction::triggered, action, [d = dispatch, id] { d(id); });
        out.buttons[id] = action;
    }
    out.rbbs_label = new QLabel(out.bar);
    out.rbbs_label->setObjectName(QStringLiteral("rbbs_label"));
    out.rbbs_label->setAccessibleName(QStringLiteral("RBBS"));
    out.rbbs_label->setContentsMargins(16, 0, 0, 0);
    out.bar->addWidget(out.rbbs_label);
    return out;
}

}  // namespace kestrel::app
