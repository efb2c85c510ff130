#pragma once
// The EGL display the GL screens render with, shared by InitGl and the
// driver warm-up.

namespace trakomer::gl {

// Mesa's surfaceless platform where there is one, else the default
// display (an EGLDisplay; EGL_NO_DISPLAY when there is none).
void* OpenEglDisplay();

// Keeps the loaded EGL driver mapped for the rest of the run.
void KeepDriverLoaded();

}  // namespace trakomer::gl
