#pragma once
// The window's GL screens (0, 1 and 4): owns the off-screen GL context and
// the views, sized to the screen area, and hands every presented frame to
// the window as a QImage.

#include <QImage>
#include <QSize>
#include <functional>
#include <string>

#include <memory>
#include <vector>

#include "gl/gl_seams.h"
#include "prefs/maps_model.h"

// The GL headers name a member `slots`, which Qt's keyword macros break:
// they are included only by sources built with QT_NO_KEYWORDS.
namespace trakomer::gl {
struct FrameImage;
struct FrameInputs;
struct LatLon;
struct ImageSlotTable;
}  // namespace trakomer::gl

namespace trakomer {

struct ViewState;

class GlScreen : public gl::GlWindowSeam {
public:
    using ShowFrame = std::function<void(const QImage&)>;
    // Shows a problem with an image (a message box titled "Error").
    using ShowImageError = std::function<void(const std::string&)>;
    // Images come from `programFolder` (map packages, then mapfiles.ini),
    // loaded when the context starts and again after every rebuild; none
    // when it is empty.
    GlScreen(ShowFrame show, std::string programFolder, ShowImageError showError);
    ~GlScreen() override;
    GlScreen(const GlScreen&) = delete;
    GlScreen& operator=(const GlScreen&) = delete;

    // Draws the current screen when what it shows changed since the frame
    // shown (on screens 2, 3 and 5 only the satellite trail is sampled). Creates the context on first use and follows the
    // screen area's size and the up mode. False when GL is unavailable: the
    // window keeps its black screen with the hint.
    // The globe zoom is written back: the first satellite shown reduces it.
    bool Draw(const gl::FrameInputs& inputs, QSize area, int upMode, ViewState& view);

    bool Available() const { return !failed_; }
    // Device pixels per screen-area pixel: frames are drawn this many times
    // larger on each axis (a high-density screen shows them sharp).
    int pixelScale = 1;
    // Half the width the map shows, nautical miles, as of the last frame.
    double HalfWidthNm() const;
    // The position under a tap (y downward), as of the last frame.
    gl::LatLon ProjectFromView(int x, int y) const;
    // The middle of the view, as of the last frame.
    gl::LatLon ViewCentre() const;
    // Enter: the globe's spin angles, the pan offsets and the track box
    // start afresh.
    void ResetViewState();
    // The loaded images (empty until the context has started) and how many
    // times they have been loaded.
    const gl::ImageSlotTable& Images() const;
    int ImageLoads() const { return imageLoads_; }

    // The loaded map images with their corners (the eye, start-up and
    // start-button images left out), in slot order.
    std::vector<prefs::MapRow> MapRows() const;

    // GlWindowSeam
    void FramePresented(const gl::FrameImage& frame) override;

    // A frame read back from GL (bottom row first) as an upright image.
    static QImage ToImage(const gl::FrameImage& frame);

private:
    bool EnsureContext(QSize area, int upMode);
    void SyncView(const ViewState& view);

    ShowFrame show_;
    struct Gl;
    std::unique_ptr<Gl> gl_;
    bool started_ = false;
    bool failed_ = false;
    int upMode_ = 0;
    int imageLoads_ = 0;
};

}  // namespace trakomer
