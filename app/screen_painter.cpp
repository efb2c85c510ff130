#include "app/screen_painter.h"

#include <QFont>
#include <QPainter>
#include <QPolygon>

namespace trakomer {

namespace {

QFont ScreenFont(int pixelHeight, bool bold) {
    QFont font;
    font.setPixelSize(pixelHeight > 0 ? pixelHeight : 1);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QPolygon ToPolygon(const std::vector<GraphPoint>& points) {
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const GraphPoint& p : points) polygon << QPoint(p.x, p.y);
    return polygon;
}

}  // namespace

void PaintTextScreen(QImage& image, const std::string& text, int screen, int largeFontHeight) {
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(screen == 3 ? ScreenFont(largeFontHeight, true) : ScreenFont(20, false));
    painter.setPen(Qt::white);
    const QRect area(QPoint(), image.deviceIndependentSize().toSize());
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     QString::fromStdString(text));
}

void PaintGraph(QImage& image, const GraphModel& model, const GraphLabels& labels) {
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(ScreenFont(18, false));
    const GraphLayout& layout = model.layout;
    const QPen axesPen(Qt::white, 2), referencePen(Qt::white, 1), currentPen(Qt::red, 2);

    painter.setPen(axesPen);
    painter.drawPolyline(ToPolygon(layout.axes));
    if (labels.paceActive && model.reference.size() > 1) {
        painter.setPen(referencePen);
        painter.drawPolyline(ToPolygon(model.reference));
    }

    const int b = layout.bottomLine;
    painter.setPen(Qt::white);
    painter.drawText(QRect(1, 5, 14, b - 5), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                     "Dist");
    painter.drawText(QRect(1, 5, 14, b - 5), Qt::AlignLeft | Qt::AlignBottom | Qt::TextDontClip,
                     "0");

    const QRect timeBox(layout.axisEnd - 20, 5, 20, b - 5);
    const int timeFlags = Qt::AlignRight | Qt::AlignBottom | Qt::TextDontClip;
    if (labels.paceActive && !model.referenceTimeLabel.empty()) {
        painter.drawText(timeBox.translated(0, -15), timeFlags,
                         QString::fromStdString(model.referenceTimeLabel));
    }
    painter.setPen(Qt::red);
    painter.drawText(timeBox, timeFlags, QString::fromStdString(labels.elapsed));

    if (!model.current.empty()) {
        painter.setPen(currentPen);
        painter.drawPolyline(ToPolygon(model.current));
        QRect box(1, 5, 20, 20);
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip;
        if (labels.paceActive && !model.referenceDistanceLabel.empty()) {
            painter.setPen(Qt::white);
            painter.drawText(box, flags, QString::fromStdString(model.referenceDistanceLabel));
            box.translate(0, 15);
        }
        painter.setPen(Qt::red);
        painter.drawText(box, flags, QString::fromStdString(labels.currentDistance));
    }
}

void AddGraphKey(ContentKey& key, const GraphModel& model, const GraphLabels& labels) {
    auto addLine = [&key](const std::vector<GraphPoint>& points) {
        key.Add(points.size());
        for (const GraphPoint& p : points) key.Add(p.x).Add(p.y);
    };
    const GraphLayout& layout = model.layout;
    key.Add(layout.bottomLine).Add(layout.axisEnd);
    addLine(layout.axes);
    addLine(model.reference);
    addLine(model.current);
    key.Add(model.referenceTimeLabel).Add(model.referenceDistanceLabel);
    key.Add(labels.elapsed).Add(labels.currentDistance).Add(labels.paceActive);
}

QImage ShownImage(const QImage& image, bool hud) {
    return hud ? image.mirrored(false, true) : image;
}

}  // namespace trakomer
