#pragma once
// Loads the EGL driver on a worker thread while the program sets up its
// window: Mesa's software renderer brings LLVM, whose loading and linking
// is the largest single cost of the first GL frame. The display it
// initialises is the one InitGl opens later; EGL is thread-safe, so an
// InitGl that comes early waits inside eglInitialize for the driver.

#include <thread>

namespace trakomer::gl {

class EglWarmUp {
public:
    EglWarmUp();
    // Waits for the worker.
    ~EglWarmUp();
    EglWarmUp(const EglWarmUp&) = delete;
    EglWarmUp& operator=(const EglWarmUp&) = delete;

private:
    std::thread worker_;
};

}  // namespace trakomer::gl
