#include "gl/gl_context.h"

#include <dlfcn.h>
#include <link.h>

#include <string>

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES/gl.h>

#include <algorithm>

#include "gl/pixel_matrix.h"

namespace trakomer::gl {
namespace {

constexpr int kMaxConfigs = 64;
constexpr int kDepthRange = 900;

EGLDisplay OpenDisplay() {
    // The surfaceless platform renders without any window system; where it
    // is missing the default display is used.
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay != nullptr) {
        EGLDisplay display =
            getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY) return display;
    }
    return eglGetDisplay(EGL_DEFAULT_DISPLAY);
}

bool HasSizes(EGLDisplay display, EGLConfig config, EGLint wanted) {
    const EGLint attributes[] = {EGL_RED_SIZE, EGL_GREEN_SIZE, EGL_BLUE_SIZE, EGL_ALPHA_SIZE};
    for (EGLint attribute : attributes) {
        EGLint value = 0;
        if (!eglGetConfigAttrib(display, config, attribute, &value) || value != wanted) return false;
    }
    return true;
}

// The first pbuffer config for OpenGL ES 1 with a 16-bit depth buffer and
// exactly 8 bits per channel: deeper colour configs (Mesa lists 10/10/10/2
// early) turn the exclusive-or overlays and the ramp colours wrong.
EGLConfig ChooseConfig(EGLDisplay display) {
    const EGLint attributes[] = {EGL_SURFACE_TYPE,    EGL_PBUFFER_BIT,   EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_ES_BIT,   EGL_DEPTH_SIZE,    16,
                                 EGL_NONE};
    EGLConfig configs[kMaxConfigs];
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, configs, kMaxConfigs, &count)) return nullptr;
    for (EGLint i = 0; i < count; ++i) {
        if (HasSizes(display, configs[i], 8)) return configs[i];
    }
    return nullptr;
}

EGLSurface CreateBuffer(EGLDisplay display, EGLConfig config, int width, int height) {
    const EGLint attributes[] = {EGL_WIDTH, std::max(width, 1), EGL_HEIGHT, std::max(height, 1),
                                 EGL_NONE};
    return eglCreatePbufferSurface(display, config, attributes);
}

void ReleaseEgl(GlContext& gl) {
    if (gl.display == nullptr) return;
    eglMakeCurrent(gl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (gl.surface != nullptr) eglDestroySurface(gl.display, gl.surface);
    if (gl.context != nullptr) eglDestroyContext(gl.display, gl.context);
    eglTerminate(gl.display);
    gl.display = gl.config = gl.surface = gl.context = nullptr;
    gl.surfaceWidth = gl.surfaceHeight = 0;
}

// Keeps Mesa's driver mapped once loaded: every rebuild on turning the
// device would otherwise unload and reload it (eglTerminate drops the last
// reference), losing its caches and leaving them unreachable.
void KeepDriverLoaded() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const std::string name = info->dlpi_name != nullptr ? info->dlpi_name : "";
            if (name.find("_dri.so") != std::string::npos) {
                dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}

bool CreateEgl(GlContext& gl) {
    gl.display = OpenDisplay();
    if (gl.display == EGL_NO_DISPLAY || !eglInitialize(gl.display, nullptr, nullptr)) {
        gl.display = nullptr;
        return false;
    }
    KeepDriverLoaded();
    gl.config = ChooseConfig(gl.display);
    if (gl.config == nullptr) return false;
    const int width = gl.windowRect.Width() * gl.pixelScale;
    const int height = gl.windowRect.Height() * gl.pixelScale;
    gl.surface = CreateBuffer(gl.display, gl.config, width, height);
    if (gl.surface == EGL_NO_SURFACE) return false;
    gl.surfaceWidth = std::max(width, 1);
    gl.surfaceHeight = std::max(height, 1);
    const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE};
    eglBindAPI(EGL_OPENGL_ES_API);
    gl.context = eglCreateContext(gl.display, gl.config, EGL_NO_CONTEXT, contextAttributes);
    if (gl.context == EGL_NO_CONTEXT) return false;
    return eglMakeCurrent(gl.display, gl.surface, gl.surface, gl.context) == EGL_TRUE;
}

// The window changed size without turning: a new buffer of the new size for
// the same context, so the textures stay.
void ResizeBuffer(GlContext& gl) {
    const int width = gl.windowRect.Width() * gl.pixelScale;
    const int height = gl.windowRect.Height() * gl.pixelScale;
    if (gl.context == nullptr || (width == gl.surfaceWidth && height == gl.surfaceHeight)) return;
    EGLSurface surface = CreateBuffer(gl.display, gl.config, width, height);
    if (surface == EGL_NO_SURFACE) return;
    if (!eglMakeCurrent(gl.display, surface, surface, gl.context)) {
        eglDestroySurface(gl.display, surface);
        eglMakeCurrent(gl.display, gl.surface, gl.surface, gl.context);
        return;
    }
    eglDestroySurface(gl.display, gl.surface);
    gl.surface = surface;
    gl.surfaceWidth = std::max(width, 1);
    gl.surfaceHeight = std::max(height, 1);
    glViewport(0, 0, gl.surfaceWidth, gl.surfaceHeight);
    glPointSize(static_cast<GLfloat>(gl.pixelScale));
    SetOrthoProjection(gl);
}

void Rebuild(GlContext& gl, Orientation current) {
    if (gl.window != nullptr) gl.window->ShowWaitCursor(true);
    ReleaseEgl(gl);
    ClearImageSlots(gl.images);
    if (gl.window != nullptr) gl.window->BringToForeground();
    InitGl(gl);
    if (gl.window != nullptr) {
        gl.window->RecreateTextImage(gl.windowRect.Width(), gl.windowRect.Height() - 1);
    }
    gl.orientation = current;
    if (gl.window != nullptr) gl.window->ShowWaitCursor(false);
    if (gl.views != nullptr) {
        gl.views->DrawFrame(gl);
        gl.views->LayoutChanged();
    }
}

}  // namespace

bool InitGl(GlContext& gl) {
    if (gl.display != nullptr) {
        ReleaseEgl(gl);
        ClearImageSlots(gl.images);
    }
    // The images are read and decoded while EGL loads the driver.
    if (gl.views != nullptr) gl.views->PrepareImages();
    if (!CreateEgl(gl)) {
        ReleaseEgl(gl);
        return false;
    }
    glClearColor(0, 0, 0, 1);
    glShadeModel(GL_FLAT);
    glPointSize(static_cast<GLfloat>(gl.pixelScale));
    SetOrthoProjection(gl);
    if (gl.views != nullptr) gl.views->LoadImages(gl);
    if (gl.firstSetup) {
        gl.draw.ramp = MakeColourRamp();
        gl.firstSetup = false;
    }
    gl.draw.trackBox.Reset();
    if (gl.views != nullptr) gl.views->ResetViewState();
    return true;
}

void ResizeGl(GlContext& gl, int upMode) {
    gl.viewSquare = ComputeViewSquare(gl.windowRect, upMode);
    const Orientation current = OrientationOf(gl.windowRect.Width(), gl.windowRect.Height());
    if (gl.sizeChanged && gl.orientation != Orientation::Unknown && gl.orientation != current) {
        Rebuild(gl, current);
    } else if (gl.sizeChanged) {
        ResizeBuffer(gl);
    }
    gl.sizeChanged = false;
    gl.orientation = current;
}

void ResizeGl(GlContext& gl, const Settings& settings) { ResizeGl(gl, settings.mUpMode); }

void SetOrthoProjection(const GlContext& gl) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrthox(0, ToFixed(gl.windowRect.Width()), 0, ToFixed(gl.windowRect.Height()),
             ToFixed(-kDepthRange), ToFixed(kDepthRange));
    glMatrixMode(GL_MODELVIEW);
}

bool PresentFrame(GlContext& gl) {
    if (gl.context == nullptr) return false;
    eglSwapBuffers(gl.display, gl.surface);
    FrameImage& frame = gl.frame;
    frame.width = gl.surfaceWidth;
    frame.height = gl.surfaceHeight;
    frame.bottomRowFirst = true;
    frame.rgba.resize(static_cast<size_t>(frame.width) * frame.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, frame.width, frame.height, GL_RGBA, GL_UNSIGNED_BYTE, frame.rgba.data());
    if (gl.window != nullptr) gl.window->FramePresented(frame);
    return true;
}

void ShutdownGl(GlContext& gl) {
    ReleaseEgl(gl);
    ClearImageSlots(gl.images);
}

}  // namespace trakomer::gl
