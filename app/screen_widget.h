#pragma once
// The client area: shows the off-screen image of the text and graph
// screens, or the GL frame (black with the start-up hint until the GL
// views provide frames), and passes the stylus to the window.

#include <QImage>
#include <QWidget>
#include <functional>
#include <string>

#include "app/touch_gestures.h"

namespace trakomer {

class ScreenWidget : public QWidget {
public:
    explicit ScreenWidget(QWidget* parent);

    // Shows a 2D screen image (already flipped when needed).
    void ShowImage(const QImage& image);
    // Shows a GL screen: its frame, or black with the hint when there is
    // none yet.
    void ShowGlScreen(const QImage& frame, const std::string& hint);
    // How many pictures were handed over to be shown.
    int FramesShown() const { return framesShown_; }

    std::function<void(int, int)> onPress, onMove, onRelease;
    // Fingers: the stylus callbacks above, and swipes and pinches as keys.
    TouchGestures touch;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ReportFirstFrame();

    QImage image_;
    std::string hint_;
    bool glScreen_ = true;
    int framesShown_ = 0;
    // TRAKOMER_FIRST_FRAME_PROBE set: print when the first screen is
    // painted and exit (used by the start-up benchmark only).
    bool firstFrameProbe_ = false;
};

}  // namespace trakomer
