// The settings file's text over the defaults.

#include <string>

#include "core/settings.h"
#include "core/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    trakomer::Settings settings = trakomer::DefaultSettings("/tmp");
    trakomer::ApplySettingsText(std::string(reinterpret_cast<const char*>(data), size), settings);
    // What was read must be writable again.
    trakomer::FormatSettings(settings);
    return 0;
}
