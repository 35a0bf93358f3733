#include "app/shell/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kestrel::app {

namespace {

// On a 64 x 64 grid, as in kestrel.svg: the sky, the bird in its rufous brown, the dark
// wing tips and tail band that tell a kestrel from other birds even at 16 pixels.
const QColor sky(0x1f, 0x5f, 0xa8);
const QColor rufous(0xe8, 0x8a, 0x3c);
const QColor dark(0x4a, 0x2a, 0x18);

// The right half from the crown down to the tail's middle; the left half is its mirror.
QPainterPath bird() {
    QPainterPath right;
    right.moveTo(32, 13);
    right.cubicTo(34.6, 13, 36, 15, 36, 17.5);      // head
    right.cubicTo(36, 19, 35.5, 20.5, 35.5, 21.5);  // nape
    right.cubicTo(40, 19, 45, 15, 49, 13);          // leading edge up to the wrist
    right.cubicTo(53, 12, 58, 14, 62, 19);          // out to the pointed tip
    right.cubicTo(57, 21, 52, 23, 48, 25.5);        // trailing edge of the hand
    right.cubicTo(44, 28, 40, 31, 37.5, 33);        // and of the arm
    right.cubicTo(36.5, 35, 36, 37.5, 35.5, 40);    // flank
    right.lineTo(39, 52);                           // the tail widens
    right.cubicTo(37, 53.8, 34.5, 54.3, 32, 54.3);  // to its rounded end
    QPainterPath whole = right;
    const QPainterPath left = QTransform(-1, 0, 0, 1, 64, 0).map(right).toReversed();
    whole.connectPath(left);
    whole.closeSubpath();
    return whole;
}

QPixmap draw(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    const QPainterPath shape = bird();
    p.fillPath(shape, rufous);
    QPainterPath marks;
    marks.addRect(QRectF(0, 0, 13, 64));    // left wing tip
    marks.addRect(QRectF(51, 0, 13, 64));   // right wing tip
    marks.addRect(QRectF(0, 47, 64, 3.5));  // tail band
    p.fillPath(shape.intersected(marks), dark);
    p.end();
    return pixmap;
}

}  // namespace

QIcon program_icon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(draw(size));
    return icon;
}

}  // namespace kestrel::app
