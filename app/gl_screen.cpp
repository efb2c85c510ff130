#include "app/gl_screen.h"

#include <cstdio>
#include <cstring>

#include "app/main_window.h"
#include "gl/gl_context.h"
#include "gl/image_loader.h"
#include "gl/screen_views.h"

namespace trakomer {

struct GlScreen::Gl {
    gl::GlContext context;
    gl::ScreenViews views;
};

GlScreen::GlScreen(ShowFrame show, std::string programFolder, ShowImageError showError)
    : show_(std::move(show)), gl_(std::make_unique<Gl>()) {
    gl_->context.window = this;
    gl_->context.views = &gl_->views;
    if (programFolder.empty()) return;
    gl::ImageLoading loading =
        gl::MakeImageLoading(std::move(programFolder), std::move(showError));
    gl_->views.imagePrefetch = loading.start;
    gl_->views.imageLoader = [this, load = loading.load](gl::GlContext& context) {
        load(context);
        ++imageLoads_;
    };
}

GlScreen::~GlScreen() { gl::ShutdownGl(gl_->context); }

std::vector<prefs::MapRow> GlScreen::MapRows() const {
    std::vector<prefs::MapRow> rows;
    const gl::ImageSlotTable& images = gl_->context.images;
    for (int i = 0; i < images.count; ++i) {
        if (i == images.eye || i == images.startup || i == images.startButton) continue;
        const gl::ImageSlot& slot = images.slots[static_cast<size_t>(i)];
        rows.push_back({slot.path, slot.lon1, slot.lat1, slot.lon2, slot.lat2});
    }
    return rows;
}

double GlScreen::HalfWidthNm() const { return gl_->views.map.halfWidthNm; }

bool GlScreen::EnsureContext(QSize area, int upMode) {
    if (failed_) return false;
    const gl::WindowRect rect{0, 0, std::max(area.width(), 1), std::max(area.height(), 1)};
    if (!started_) {
        gl_->context.windowRect = rect;
        gl_->context.pixelScale = pixelScale;
        if (!gl::InitGl(gl_->context)) {
            failed_ = true;
            std::fprintf(stderr,
                         "trakomer: no OpenGL ES 1 context through EGL; the track and globe "
                         "screens stay black\n");
            return false;
        }
        started_ = true;
        upMode_ = upMode;
        gl::ResizeGl(gl_->context, upMode);
        return true;
    }
    const gl::WindowRect& shown = gl_->context.windowRect;
    const bool resized = rect.right != shown.right || rect.bottom != shown.bottom ||
                         pixelScale != gl_->context.pixelScale;
    if (resized || upMode != upMode_) {
        gl_->context.windowRect = rect;
        gl_->context.pixelScale = pixelScale;
        gl_->context.sizeChanged = resized;
        upMode_ = upMode;
        gl::ResizeGl(gl_->context, upMode);
        // The legend and scale bar follow the window's edges.
        gl_->views.LayoutChanged();
    }
    return gl_->context.context != nullptr;
}

void GlScreen::SyncView(const ViewState& view) {
    gl::MapViewState& map = gl_->views.map;
    map.zoom = view.mapZoom;
    // Every frame moves the pan by the rates the dragging stylus set.
    map.panX = static_cast<int>(view.panX);
    map.panY = static_cast<int>(view.panY);
    map.panRateX = static_cast<float>(view.panRateX);
    map.panRateY = static_cast<float>(view.panRateY);
    map.followOff = view.flyTo;
    map.targetLatitude = view.targetLatitude;
    map.targetLongitude = view.targetLongitude;
    gl::GlobeState& globe = gl_->views.globe;
    globe.zoom = view.globeZoom;
    // Horizontal stylus moves turn about the y axis, vertical about x.
    globe.spinRateY = static_cast<float>(view.spinRateX);
    globe.spinRateX = static_cast<float>(view.spinRateY);
}

bool GlScreen::Draw(const gl::FrameInputs& inputs, QSize area, int upMode, ViewState& view) {
    if (!EnsureContext(area, upMode)) return false;
    SyncView(view);
    gl_->views.inputs = inputs;
    gl_->views.DrawChangedFrame(gl_->context);
    gl_->views.inputs = {};
    view.panX = gl_->views.map.panX;
    view.panY = gl_->views.map.panY;
    // The sky view zooms out once when the first satellite shows; the keys
    // then act on the zoom the user sees.
    view.globeZoom = gl_->views.globe.zoom;
    return true;
}

gl::LatLon GlScreen::ViewCentre() const { return gl::ViewCentre(gl_->views.map); }

void GlScreen::ResetViewState() {
    gl_->views.ResetViewState();
    gl_->context.draw.trackBox.Reset();
}

const gl::ImageSlotTable& GlScreen::Images() const { return gl_->context.images; }

gl::LatLon GlScreen::ProjectFromView(int x, int y) const {
    return gl::ProjectFromView(gl_->views.map, gl_->context.windowRect.Height(), x, y);
}

void GlScreen::FramePresented(const gl::FrameImage& frame) {
    if (!show_) return;
    QImage image = ToImage(frame);
    image.setDevicePixelRatio(gl_->context.pixelScale);
    show_(image);
}

QImage GlScreen::ToImage(const gl::FrameImage& frame) {
    if (frame.width <= 0 || frame.height <= 0) return {};
    // The frame is opaque: exclusive-or drawing leaves nonsense in its alpha.
    QImage image(frame.width, frame.height, QImage::Format_RGBX8888);
    const size_t rowBytes = static_cast<size_t>(frame.width) * 4;
    for (int row = 0; row < frame.height; ++row) {
        const int source = frame.bottomRowFirst ? frame.height - 1 - row : row;
        uchar* line = image.scanLine(row);
        std::memcpy(line, frame.rgba.data() + rowBytes * source, rowBytes);
        for (size_t alpha = 3; alpha < rowBytes; alpha += 4) line[alpha] = 0xFF;
    }
    return image;
}

}  // namespace trakomer
