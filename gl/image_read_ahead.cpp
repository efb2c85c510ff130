#include "gl/image_read_ahead.h"

#include <fstream>
#include <span>

#include "maps/map_package.h"

namespace trakomer::gl {
namespace {

// The list file's text, at most 1 MB of it; nothing when it cannot be read.
std::optional<std::string> ReadListFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string text(size_t{1} << 20, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(file.gcount()));
    return text;
}

ReadImage ReadListImage(const std::string& programFolder, const maps::ImageListEntry& entry) {
    ReadImage read;
    read.slotPath = entry.path;
    read.corners = entry.corners;
    read.image = ReadTga(maps::ImageFileFor(entry.path, programFolder), read.error);
    return read;
}

size_t PixelBytes(const ReadImage& read) { return read.image ? read.image->pixels.size() : 0; }

}  // namespace

ReadImage ReadPackageImage(const std::string& programFolder, const std::string& fileName) {
    ReadImage read;
    // The image keeps the package's name: it never matches a special image.
    read.slotPath = fileName;
    maps::MapPackage package;
    read.takesSlot = maps::ReadMapPackage(programFolder + "/" + fileName, package, read.messages);
    if (!read.takesSlot) return read;
    read.corners = package.corners;
    const auto* bytes = reinterpret_cast<const uint8_t*>(package.imageBytes.data());
    read.image =
        DecodeTga(std::span(bytes, package.imageBytes.size()), package.imageName, read.error);
    return read;
}

ImageReadAhead::ImageReadAhead(std::string programFolder, size_t budgetBytes)
    : programFolder_(std::move(programFolder)),
      budgetBytes_(budgetBytes),
      worker_([this] { Run(); }) {}

ImageReadAhead::~ImageReadAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void ImageReadAhead::Run() {
    bool going = true;
    for (const std::string& name : maps::FindMapPackages(programFolder_)) {
        going = Hand(ReadPackageImage(programFolder_, name));
        if (!going) break;
    }
    std::optional<std::string> list;
    if (going) list = ReadListFile(programFolder_ + "/" + maps::kImageListName);
    if (list) {
        for (const maps::ImageListEntry& entry : maps::ParseImageList(*list, programFolder_)) {
            if (!Hand(ReadListImage(programFolder_, entry))) break;
        }
    }
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    changed_.notify_all();
}

bool ImageReadAhead::Hand(ReadImage image) {
    const size_t bytes = PixelBytes(image);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] {
        return stopping_ || ready_.empty() || readyBytes_ + bytes <= budgetBytes_;
    });
    if (stopping_) return false;
    readyBytes_ += bytes;
    ready_.push_back(std::move(image));
    lock.unlock();
    changed_.notify_all();
    return true;
}

std::optional<ReadImage> ImageReadAhead::Next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return finished_ || !ready_.empty(); });
    if (ready_.empty()) return std::nullopt;
    ReadImage image = std::move(ready_.front());
    ready_.pop_front();
    readyBytes_ -= PixelBytes(image);
    lock.unlock();
    changed_.notify_all();
    return image;
}

}  // namespace trakomer::gl
