#pragma once
// The images of the program folder read from disk and decoded without GL,
// on a worker thread, in the order the slot table takes them: the map
// packages first, then the lines of the image list. The GL side takes them
// one by one and uploads them; reading runs ahead while the context is
// still being created.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "gl/tga_reader.h"
#include "maps/image_list.h"

namespace trakomer::gl {

// One package or list line as read, before any GL.
struct ReadImage {
    std::string slotPath;  // the slot's path: the package's file name or the list's path
    maps::MapCorners corners;
    // Package reading problems, shown before anything else of this image.
    std::vector<std::string> messages;
    // False for a package that held no readable image: it takes no slot.
    bool takesSlot = true;
    std::optional<TgaImage> image;
    std::string error;  // why there is no image
};

// A package of the program folder, read and decoded.
ReadImage ReadPackageImage(const std::string& programFolder, const std::string& fileName);

// Decoded images kept ahead of the GL side at most (one image always).
constexpr size_t kReadAheadBytes = size_t{64} << 20;

class ImageReadAhead {
public:
    explicit ImageReadAhead(std::string programFolder, size_t budgetBytes = kReadAheadBytes);
    // Stops reading (after the image under way) and waits for the worker.
    ~ImageReadAhead();
    ImageReadAhead(const ImageReadAhead&) = delete;
    ImageReadAhead& operator=(const ImageReadAhead&) = delete;

    // The next image in slot order, waiting for it; nothing after the last.
    std::optional<ReadImage> Next();

private:
    void Run();
    bool Hand(ReadImage image);  // false: stop reading

    const std::string programFolder_;
    const size_t budgetBytes_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<ReadImage> ready_;
    size_t readyBytes_ = 0;
    bool finished_ = false;
    bool stopping_ = false;
    std::thread worker_;  // last: starts once everything above exists
};

}  // namespace trakomer::gl
