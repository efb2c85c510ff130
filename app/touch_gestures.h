#pragma once
// Fingers on the screen: one finger taps and drags as the stylus does; a
// quick horizontal swipe steps screens as the left and right keys do; two
// fingers pinching apart or together zoom as the up and down keys do.

#include <QElapsedTimer>
#include <QPointF>
#include <functional>

class QTouchEvent;

namespace trakomer {

class TouchGestures {
public:
    std::function<void(int, int)> onPress, onMove, onRelease;
    std::function<void(int key)> onKey;  // Qt::Key_Left, _Right, _Up, _Down

    // Takes a touch event of the widget `width` pixels wide.
    void Handle(const QTouchEvent& event, int width);

    // A swipe is released within this time of the touch.
    int swipeMs = 400;

private:
    void Pinch(QPointF a, QPointF b);
    void EndDrag();

    bool dragging_ = false;
    bool pinched_ = false;
    QPointF start_, last_;
    double pinchBase_ = 0;
    QElapsedTimer since_;
};

}  // namespace trakomer
