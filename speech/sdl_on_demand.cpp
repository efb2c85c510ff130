// SDL opened when the first sound plays, not when the program starts (see
// platform/lazy_library.h): SDL and the audio and video libraries it brings
// cost every start milliseconds, and most runs speak nothing. Without the
// library no sound opens, as when no audio device can be opened.

#include <SDL2/SDL.h>

#include "platform/lazy_library.h"

namespace {

TRAKOMER_LAZY_LIBRARY(Sdl, "libSDL2-2.0.so.0")

}  // namespace

extern "C" {

TRAKOMER_LAZY_FUNCTION(Sdl(), SDL_RWops*, SDL_RWFromFile, (const char* file, const char* mode),
                       (file, mode), nullptr)
TRAKOMER_LAZY_FUNCTION(Sdl(), SDL_AudioSpec*, SDL_LoadWAV_RW,
                       (SDL_RWops * source, int freeSource, SDL_AudioSpec* format, Uint8** buffer,
                        Uint32* length),
                       (source, freeSource, format, buffer, length), nullptr)
TRAKOMER_LAZY_FUNCTION(Sdl(), void, SDL_FreeWAV, (Uint8 * buffer), (buffer), void())
TRAKOMER_LAZY_FUNCTION(Sdl(), SDL_bool, SDL_SetHint, (const char* name, const char* value),
                       (name, value), SDL_FALSE)
TRAKOMER_LAZY_FUNCTION(Sdl(), int, SDL_InitSubSystem, (Uint32 flags), (flags), -1)
TRAKOMER_LAZY_FUNCTION(Sdl(), void, SDL_QuitSubSystem, (Uint32 flags), (flags), void())
TRAKOMER_LAZY_FUNCTION(Sdl(), SDL_AudioDeviceID, SDL_OpenAudioDevice,
                       (const char* device, int capture, const SDL_AudioSpec* wanted,
                        SDL_AudioSpec* obtained, int allowedChanges),
                       (device, capture, wanted, obtained, allowedChanges), 0)
TRAKOMER_LAZY_FUNCTION(Sdl(), void, SDL_CloseAudioDevice, (SDL_AudioDeviceID device), (device),
                       void())
TRAKOMER_LAZY_FUNCTION(Sdl(), int, SDL_QueueAudio,
                       (SDL_AudioDeviceID device, const void* data, Uint32 length),
                       (device, data, length), -1)
TRAKOMER_LAZY_FUNCTION(Sdl(), void, SDL_ClearQueuedAudio, (SDL_AudioDeviceID device), (device),
                       void())
TRAKOMER_LAZY_FUNCTION(Sdl(), Uint32, SDL_GetQueuedAudioSize, (SDL_AudioDeviceID device),
                       (device), 0)
TRAKOMER_LAZY_FUNCTION(Sdl(), void, SDL_PauseAudioDevice, (SDL_AudioDeviceID device, int pause),
                       (device, pause), void())
TRAKOMER_LAZY_FUNCTION(Sdl(), SDL_AudioStatus, SDL_GetAudioDeviceStatus,
                       (SDL_AudioDeviceID device), (device), SDL_AUDIO_STOPPED)

}  // extern "C"
