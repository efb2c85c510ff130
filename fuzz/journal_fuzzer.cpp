// The recording journal left by an interrupted recording.

#include <memory>
#include <string>

#include "files/journal_recovery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto track = std::make_unique<trakomer::Track>();
    trakomer::JournalHeader header;
    trakomer::DecodeJournal(std::string(reinterpret_cast<const char*>(data), size), *track, header);
    return 0;
}
