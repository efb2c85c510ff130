// Decoding a binary .trk track file.

#include <memory>
#include <string>

#include "files/trk_file.h"
#include "fuzz/quiet_dialogs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto track = std::make_unique<trakomer::Track>();
    trakomer::fuzz::QuietDialogs dialogs;
    track->loadedCount = 0;
    trakomer::DecodeTrk(std::string(reinterpret_cast<const char*>(data), size), *track, dialogs);
    return 0;
}
