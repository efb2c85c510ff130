#pragma once
// The GL context the GL screens draw with: EGL + OpenGL ES 1.1 rendering
// off-screen into a buffer of the window's size, each presented frame read
// back into an image the window shows. Works without any display.

#include <string>

#include "core/settings.h"
#include "gl/draw_state.h"
#include "gl/frame_image.h"
#include "gl/gl_seams.h"
#include "gl/image_slots.h"
#include "gl/view_geometry.h"

namespace trakomer::gl {

struct GlContext {
    // EGL handles (EGLDisplay, EGLConfig, EGLSurface, EGLContext), kept
    // opaque so the window code needs no EGL header.
    void* display = nullptr;
    void* config = nullptr;
    void* surface = nullptr;
    void* context = nullptr;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    // Device pixels per window pixel: the buffer, and so the frame, is this
    // many times the window rectangle on each axis, while drawing keeps
    // window pixels (text points grow to match).
    int pixelScale = 1;

    // Set by the window before ResizeGl: its rectangle and whether a size
    // message arrived since the last call.
    WindowRect windowRect;
    bool sizeChanged = false;
    Orientation orientation = Orientation::Unknown;
    bool firstSetup = true;

    ViewSquare viewSquare;
    ImageSlotTable images;
    // Why the last image failed to load.
    std::string imageError;
    DrawState draw;
    FrameImage frame;

    // Not owned; null hooks do nothing.
    GlWindowSeam* window = nullptr;
    GlViews* views = nullptr;
};

// Creates the EGL objects for the window rectangle, sets the GL defaults
// and the projection, loads the images through the views and resets the
// view state. On failure everything created so far is released again.
bool InitGl(GlContext& gl);

// Recomputes the view square for the up mode (mUpMode: 1 north up). When a
// size change was signalled and the orientation turned, rebuilds the whole
// context (images reloaded, text image re-created, a frame drawn); when only
// the size changed, re-creates the off-screen buffer at the new size.
void ResizeGl(GlContext& gl, int upMode);
// The same with the up mode of the settings.
void ResizeGl(GlContext& gl, const Settings& settings);

// Orthographic projection over the window rectangle: (0, 0) bottom-left,
// z visible from -900 to 900.
void SetOrthoProjection(const GlContext& gl);

// Ends a frame: reads the pixels back into gl.frame and hands it to the
// window. False when there is no context.
bool PresentFrame(GlContext& gl);

// Releases the EGL objects (textures go with the context).
void ShutdownGl(GlContext& gl);

}  // namespace trakomer::gl
