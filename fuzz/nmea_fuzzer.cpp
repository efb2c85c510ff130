// NMEA framing and parsing: the input's first bytes choose where the
// stream is split between reads, as a serial port splits it anywhere.

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "gps/gps_fix.h"
#include "gps/nmea_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<size_t> chunks;
    const size_t cuts = input.ConsumeIntegralInRange<size_t>(0, 16);
    for (size_t i = 0; i < cuts; ++i)
        chunks.push_back(input.ConsumeIntegralInRange<size_t>(0, 128));
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    trakomer::GpsFix fix;
    trakomer::Reset(fix);
    size_t at = 0;
    for (size_t chunk : chunks) {
        const size_t n = std::min(chunk, bytes.size() - at);
        trakomer::ProcessBytes(fix, bytes.data() + at, n);
        at += n;
    }
    trakomer::ProcessBytes(fix, bytes.data() + at, bytes.size() - at);
    return 0;
}
