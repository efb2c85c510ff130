#include "app/screen_widget.h"

#include <QMouseEvent>
#include <QTouchEvent>
#include <QPainter>

#include <time.h>

#include <cstdio>
#include <cstdlib>

namespace trakomer {

ScreenWidget::ScreenWidget(QWidget* parent)
    : QWidget(parent), firstFrameProbe_(std::getenv("TRAKOMER_FIRST_FRAME_PROBE") != nullptr) {
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
    ++framesShown_;
    update();
}

void ScreenWidget::ShowGlScreen(const QImage& frame, const std::string& hint) {
    image_ = frame;
    hint_ = hint;
    glScreen_ = true;
    ++framesShown_;
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
    if (firstFrameProbe_ && !image_.isNull()) ReportFirstFrame();
}

void ScreenWidget::ReportFirstFrame() {
    // For the start-up benchmark: the CLOCK_MONOTONIC time of the first
    // painted screen, then an exit with nothing saved.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("first-frame %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fflush(stdout);
    std::_Exit(0);
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
