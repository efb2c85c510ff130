#include "app/screen_widget.h"

#include <QMouseEvent>
#include <QTouchEvent>
#include <QPainter>

namespace trakomer {

ScreenWidget::ScreenWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_AcceptTouchEvents);
}

bool ScreenWidget::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
            touch.Handle(*static_cast<QTouchEvent*>(event), width());
            return true;
        default:
            return QWidget::event(event);
    }
}

void ScreenWidget::ShowImage(const QImage& image) {
    image_ = image;
    hint_.clear();
    glScreen_ = false;
    update();
}

void ScreenWidget::ShowGlScreen(const QImage& frame, const std::string& hint) {
    image_ = frame;
    hint_ = hint;
    glScreen_ = true;
    update();
}

void ScreenWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!image_.isNull()) painter.drawImage(0, 0, image_);
    if (glScreen_ && !hint_.empty()) {
        painter.setPen(Qt::white);
        painter.drawText(rect().adjusted(4, 4, -4, -4), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(hint_));
    }
}

void ScreenWidget::mousePressEvent(QMouseEvent* event) {
    if (onPress) onPress(event->position().toPoint().x(), event->position().toPoint().y());
}

void ScreenWidget::mouseMoveEvent(QMouseEvent* event) {
    if (onMove) onMove(event->position().toPoint().x(), event->position().toPoint().y());
}

void ScreenWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (onRelease) onRelease(event->position().toPoint().x(), event->position().toPoint().y());
}

}  // namespace trakomer
