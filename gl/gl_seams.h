#pragma once
// What the GL layer asks of the window that shows its frames and of the
// views (map, globe) that draw with it. Every hook has a do-nothing
// default, so tests and partial set-ups implement only what they need.

namespace trakomer::gl {

struct FrameImage;
struct GlContext;

// Implemented by the main window.
class GlWindowSeam {
public:
    virtual ~GlWindowSeam() = default;
    // A frame was read back into the image; show it.
    virtual void FramePresented(const FrameImage& /*frame*/) {}
    // Busy cursor while the GL context is rebuilt (true), arrow after (false).
    virtual void ShowWaitCursor(bool /*busy*/) {}
    virtual void BringToForeground() {}
    // After a rebuild: re-create the off-screen image of the text screens
    // at this size.
    virtual void RecreateTextImage(int /*width*/, int /*height*/) {}
};

// Implemented by the views that draw with the GL layer.
class GlViews {
public:
    virtual ~GlViews() = default;
    // Fill the image slot table (LoadSlotTexture for each image) and set the
    // special indices. Called by InitGl with a current context and an empty
    // table.
    virtual void LoadImages(GlContext& /*gl*/) {}
    // Begin reading the images that LoadImages will take (on another
    // thread), before InitGl creates the context.
    virtual void PrepareImages() {}
    // Reset the globe rotation and the map pan offsets (every GL set-up).
    virtual void ResetViewState() {}
    // Draw the current screen after a rebuild.
    virtual void DrawFrame(GlContext& /*gl*/) {}
    // The window layout changed: recompute it on the next frame.
    virtual void LayoutChanged() {}
};

}  // namespace trakomer::gl
