#include "speech/sdl_audio.h"

#include "platform/shared_library.h"

namespace trakomer::speech {

SdlAudio::SdlAudio() {
    // Never unloaded: SDL keeps state across its subsystem's openings.
    const SharedLibrary sdl("libSDL2-2.0.so.0");
    available_ = sdl.Take("SDL_RWFromFile", RWFromFile) &&
                 sdl.Take("SDL_LoadWAV_RW", LoadWAV_RW) && sdl.Take("SDL_FreeWAV", FreeWAV) &&
                 sdl.Take("SDL_SetHint", SetHint) &&
                 sdl.Take("SDL_InitSubSystem", InitSubSystem) &&
                 sdl.Take("SDL_QuitSubSystem", QuitSubSystem) &&
                 sdl.Take("SDL_OpenAudioDevice", OpenAudioDevice) &&
                 sdl.Take("SDL_CloseAudioDevice", CloseAudioDevice) &&
                 sdl.Take("SDL_QueueAudio", QueueAudio) &&
                 sdl.Take("SDL_ClearQueuedAudio", ClearQueuedAudio) &&
                 sdl.Take("SDL_GetQueuedAudioSize", GetQueuedAudioSize) &&
                 sdl.Take("SDL_PauseAudioDevice", PauseAudioDevice) &&
                 sdl.Take("SDL_GetAudioDeviceStatus", GetAudioDeviceStatus);
}

}  // namespace trakomer::speech
