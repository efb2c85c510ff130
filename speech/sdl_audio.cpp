#include "speech/sdl_audio.h"

#include <dlfcn.h>

namespace trakomer::speech {
namespace {

template <typename Function>
bool Take(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

}  // namespace

SdlAudio::SdlAudio() {
    // Never unloaded: SDL keeps state across its subsystem's openings, and
    // the next sound would load it again.
    void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (library == nullptr) return;
    available_ = Take(library, "SDL_RWFromFile", RWFromFile) &&
                 Take(library, "SDL_LoadWAV_RW", LoadWAV_RW) &&
                 Take(library, "SDL_FreeWAV", FreeWAV) && Take(library, "SDL_SetHint", SetHint) &&
                 Take(library, "SDL_InitSubSystem", InitSubSystem) &&
                 Take(library, "SDL_QuitSubSystem", QuitSubSystem) &&
                 Take(library, "SDL_OpenAudioDevice", OpenAudioDevice) &&
                 Take(library, "SDL_CloseAudioDevice", CloseAudioDevice) &&
                 Take(library, "SDL_QueueAudio", QueueAudio) &&
                 Take(library, "SDL_ClearQueuedAudio", ClearQueuedAudio) &&
                 Take(library, "SDL_GetQueuedAudioSize", GetQueuedAudioSize) &&
                 Take(library, "SDL_PauseAudioDevice", PauseAudioDevice) &&
                 Take(library, "SDL_GetAudioDeviceStatus", GetAudioDeviceStatus);
    // The handle is dropped: RTLD_NODELETE keeps the library, and the next
    // SdlAudio finds it loaded.
    dlclose(library);
}

}  // namespace trakomer::speech
