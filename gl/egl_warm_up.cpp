#include "gl/egl_warm_up.h"

#include <EGL/egl.h>

#include "gl/egl_display.h"

namespace trakomer::gl {

EglWarmUp::EglWarmUp()
    : worker_([] {
          // Left initialised: InitGl takes the display over (initialising it
          // again does nothing) and terminates it with its context.
          EGLDisplay display = OpenEglDisplay();
          if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) {
              KeepDriverLoaded();
          }
      }) {}

EglWarmUp::~EglWarmUp() { worker_.join(); }

}  // namespace trakomer::gl
