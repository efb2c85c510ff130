#include "app/review_icons.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace trakomer {

namespace {

void Triangle(QPainter& p, int x, bool right) {
    QPolygon shape;
    if (right) shape << QPoint(x, 3) << QPoint(x + 6, 8) << QPoint(x, 13);
    else shape << QPoint(x + 6, 3) << QPoint(x, 8) << QPoint(x + 6, 13);
    p.drawPolygon(shape);
}

// The icon drawn on a 16-unit grid into a square of `size` pixels.
QPixmap Paint(int image, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    switch (image) {
        case 0: Triangle(p, 5, true); break;
        case 1: p.drawRect(4, 3, 2, 10); p.drawRect(10, 3, 2, 10); break;
        case 2: p.drawRect(3, 3, 1, 10); Triangle(p, 5, false); break;
        case 3: Triangle(p, 2, false); Triangle(p, 8, false); break;
        case 4: Triangle(p, 4, false); p.drawRect(11, 3, 1, 10); break;
        case 5: p.drawRect(4, 3, 1, 10); Triangle(p, 6, true); break;
        case 6: Triangle(p, 2, true); Triangle(p, 8, true); break;
        case 7: Triangle(p, 4, true); p.drawRect(12, 3, 1, 10); break;
        default:
            p.setPen(QPen(Qt::red, 2));
            p.drawLine(3, 3, 13, 13);
            p.drawLine(13, 3, 3, 13);
            break;
    }
    return pixmap;
}

}  // namespace

QIcon ReviewIcon(int image) {
    // Sharp at the mouse's 16 pixels and at a finger's 32.
    QIcon icon(Paint(image, 16));
    icon.addPixmap(Paint(image, 32));
    return icon;
}

}  // namespace trakomer
