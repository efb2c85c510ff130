// Fingers on the screen widget, as synthesised touch events: taps and
// drags reach the stylus; swipes and pinches arrive as the arrow keys.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointingDevice>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "app/screen_widget.h"

namespace trakomer {
namespace {

class TouchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "app_touch_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }
    void SetUp() override {
        widget_ = std::make_unique<ScreenWidget>(nullptr);
        widget_->resize(360, 720);
        widget_->show();
        auto log = [this](const char* what) {
            return [this, what](int x, int y) {
                events_.push_back(std::string(what) + " " + std::to_string(x) + "," +
                                  std::to_string(y));
            };
        };
        widget_->touch.onPress = log("press");
        widget_->touch.onMove = log("move");
        widget_->touch.onRelease = log("release");
        widget_->touch.onKey = [this](int key) {
            events_.push_back(key == Qt::Key_Left    ? "left"
                              : key == Qt::Key_Right ? "right"
                              : key == Qt::Key_Up    ? "up"
                                                     : "down");
        };
    }
    // One finger along the points.
    void Stroke(const std::vector<QPoint>& points, int pauseMs = 0) {
        QTest::touchEvent(widget_.get(), device_).press(0, points.front());
        for (size_t i = 1; i + 1 < points.size(); ++i) {
            QTest::touchEvent(widget_.get(), device_).move(0, points[i]);
        }
        if (pauseMs > 0) QTest::qWait(pauseMs);
        QTest::touchEvent(widget_.get(), device_).release(0, points.back());
    }
    // Two fingers on a horizontal line about (180, 360), `from` then `to` apart.
    void Pinch(int from, int to) {
        QTest::touchEvent(widget_.get(), device_)
            .press(0, QPoint(180 - from / 2, 360))
            .press(1, QPoint(180 + from / 2, 360));
        QTest::touchEvent(widget_.get(), device_)
            .move(0, QPoint(180 - to / 2, 360))
            .move(1, QPoint(180 + to / 2, 360));
        QTest::touchEvent(widget_.get(), device_)
            .release(0, QPoint(180 - to / 2, 360))
            .release(1, QPoint(180 + to / 2, 360));
    }

    // One device for the process, as the platform would have (kept for good).
    static QPointingDevice* Device() {
        static QPointingDevice* device = QTest::createTouchDevice();
        return device;
    }

    QPointingDevice* device_ = Device();
    std::unique_ptr<ScreenWidget> widget_;
    std::vector<std::string> events_;
};

TEST_F(TouchTest, StrokesArriveAsStylusOrArrowKeys) {
    using Events = std::vector<std::string>;
    struct Case {
        const char* name;
        std::vector<QPoint> points;
        Events expected;
    } cases[] = {
        {"tap", {{40, 700}, {40, 700}}, {"press 40,700", "release 40,700"}},
        {"short drag", {{100, 100}, {120, 130}, {130, 150}},
         {"press 100,100", "move 120,130", "release 130,150"}},
        {"swipe to the left", {{300, 400}, {200, 405}, {100, 410}},
         {"press 300,400", "move 200,405", "release 100,410", "right"}},
        {"swipe to the right", {{50, 400}, {150, 400}, {250, 390}},
         {"press 50,400", "move 150,400", "release 250,390", "left"}},
        {"steep stroke", {{100, 100}, {150, 300}, {200, 500}},
         {"press 100,100", "move 150,300", "release 200,500"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        events_.clear();
        Stroke(c.points);
        EXPECT_EQ(events_, c.expected);
    }
    // A slow stroke is a drag, not a swipe.
    widget_->touch.swipeMs = 20;
    events_.clear();
    Stroke({{300, 400}, {200, 400}, {100, 400}}, 40);
    EXPECT_EQ(events_.back(), "release 100,400");
}

TEST_F(TouchTest, PinchingApartZoomsInAndTogetherZoomsOut) {
    Pinch(100, 150);  // x1.5: four steps of 1.1
    EXPECT_EQ(events_, (std::vector<std::string>{"up", "up", "up", "up"}));
    events_.clear();
    Pinch(200, 150);
    EXPECT_EQ(events_, (std::vector<std::string>{"down", "down", "down"}));
}

}  // namespace
}  // namespace trakomer
