#include "app/touch_gestures.h"

#include <QLineF>
#include <QTouchEvent>
#include <cmath>

namespace trakomer {

namespace {
// A swipe crosses this share of the width, mostly sideways.
constexpr double kSwipeShare = 0.25;
constexpr double kSwipeSlope = 2.0;
// Each step of the fingers' distance by this factor is one zoom step.
constexpr double kPinchStep = 1.1;
}  // namespace

void TouchGestures::Handle(const QTouchEvent& event, int width) {
    const QList<QEventPoint>& points = event.points();
    if (points.isEmpty()) return;
    if (event.type() == QEvent::TouchBegin) {
        pinched_ = false;
        pinchBase_ = 0;
    }
    if (points.size() >= 2) {
        EndDrag();
        pinched_ = true;
        Pinch(points[0].position(), points[1].position());
        return;
    }
    const QPointF at = points[0].position();
    switch (event.type()) {
        case QEvent::TouchBegin:
            dragging_ = true;
            start_ = last_ = at;
            since_.start();
            if (onPress) onPress(at.toPoint().x(), at.toPoint().y());
            break;
        case QEvent::TouchUpdate:
            if (!dragging_ || points[0].state() == QEventPoint::Released) break;
            last_ = at;
            if (onMove) onMove(at.toPoint().x(), at.toPoint().y());
            break;
        case QEvent::TouchEnd: {
            if (pinched_) break;
            last_ = at;
            EndDrag();
            const QPointF travel = at - start_;
            const bool swipe = since_.isValid() && since_.elapsed() <= swipeMs &&
                               std::abs(travel.x()) >= width * kSwipeShare &&
                               std::abs(travel.x()) > kSwipeSlope * std::abs(travel.y());
            // Moving the screen leftwards brings the next one, as on phones.
            if (swipe && onKey) onKey(travel.x() < 0 ? Qt::Key_Right : Qt::Key_Left);
            break;
        }
        default:
            EndDrag();
            break;
    }
}

void TouchGestures::EndDrag() {
    if (!dragging_) return;
    dragging_ = false;
    if (onRelease) onRelease(last_.toPoint().x(), last_.toPoint().y());
}

void TouchGestures::Pinch(QPointF a, QPointF b) {
    const double distance = QLineF(a, b).length();
    if (distance <= 0) return;
    if (pinchBase_ <= 0) pinchBase_ = distance;
    while (onKey && distance >= pinchBase_ * kPinchStep) {
        pinchBase_ *= kPinchStep;
        onKey(Qt::Key_Up);
    }
    while (onKey && distance <= pinchBase_ / kPinchStep) {
        pinchBase_ /= kPinchStep;
        onKey(Qt::Key_Down);
    }
}

}  // namespace trakomer
