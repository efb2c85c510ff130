#include "gl/image_loader.h"

#include <filesystem>
#include <fstream>
#include <future>
#include <span>
#include <sstream>
#include <vector>

#include "gl/image_list.h"
#include "gl/map_package.h"
#include "gl/texture_upload.h"

namespace trakomer::gl {
namespace {

void Report(const ImageSources& sources, const std::string& message) {
    if (sources.showError) sources.showError(message);
}

void ReportLoadFailure(const ImageSources& sources, const std::string& reason) {
    Report(sources, "LoadTexture failed: " + reason);
}

// The list file's text, at most 1 MB of it; nothing when it cannot be read.
std::optional<std::string> ReadListFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string text(size_t{1} << 20, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(file.gcount()));
    return text;
}

// A file's size and modification time, to tell whether it changed.
struct FileStamp {
    uintmax_t size = 0;
    std::filesystem::file_time_type time{};
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path) {
    std::error_code error;
    FileStamp stamp;
    stamp.size = std::filesystem::file_size(path, error);
    stamp.time = std::filesystem::last_write_time(path, error);
    return stamp;
}

// One image file (a package or a list line's image) read and decoded,
// before a slot is given to it.
struct DecodedImage {
    std::string file;
    FileStamp stamp;
    bool read = true;                   // a package: it could be read
    std::vector<std::string> messages;  // a package: its reading problems
    MapCorners corners;                 // a package: its calibration
    std::optional<TgaImage> image;
    std::string error;  // why image is empty
};

DecodedImage DecodePackage(const std::string& path) {
    DecodedImage d;
    d.file = path;
    d.stamp = StampOf(path);
    MapPackage package;
    d.read = ReadMapPackage(path, package, d.messages);
    d.corners = package.corners;
    if (d.read) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(package.imageBytes.data());
        d.image = DecodeTga(std::span(bytes, package.imageBytes.size()), package.imageName, d.error);
    }
    return d;
}

DecodedImage DecodeImageFile(const std::string& path) {
    DecodedImage d;
    d.file = path;
    d.stamp = StampOf(path);
    d.image = ReadTga(path, d.error);
    return d;
}

// Images decoded on another thread while the GL context is made, in the
// order the loading takes them; each is used once, and only while its file
// is unchanged.
class DecodedAhead {
public:
    DecodedAhead() = default;
    explicit DecodedAhead(const std::string& folder) {
        // Enough for the shipped images and a few maps: further ones are
        // decoded one at a time as they are loaded.
        constexpr size_t kBudget = size_t{64} << 20;
        size_t bytes = 0;
        auto keep = [&](DecodedImage d) {
            if (d.image) bytes += d.image->pixels.size();
            images_.push_back(std::move(d));
            return images_.size() < kImageSlotCount && bytes < kBudget;
        };
        for (const std::string& name : FindMapPackages(folder)) {
            if (!keep(DecodePackage(folder + "/" + name))) return;
        }
        if (auto text = ReadListFile(folder + "/" + kImageListName)) {
            for (const ImageListEntry& entry : ParseImageList(*text, folder)) {
                if (!keep(DecodeImageFile(ImageFileFor(entry.path, folder)))) return;
            }
        }
    }

    DecodedImage Take(const std::string& path, DecodedImage (*decode)(const std::string&)) {
        for (DecodedImage& d : images_) {
            if (d.file == path && !d.file.empty() && d.stamp == StampOf(path)) {
                DecodedImage taken = std::move(d);
                d.file.clear();
                return taken;
            }
        }
        return decode(path);
    }

private:
    std::vector<DecodedImage> images_;
};

// Puts a decoded image in the next slot; false (with the failure reported
// and the slot left free) when it cannot be shown.
bool PlaceImage(GlContext& gl, const ImageSources& sources, ImageSlot made, DecodedImage& d) {
    ImageSlotTable& table = gl.images;
    const int index = table.count;
    ImageSlot& slot = table.slots[static_cast<size_t>(index)];
    slot = std::move(made);
    if (!d.image) gl.imageError = d.error;
    if (d.image && UploadSlotImage(table, index, *d.image, gl.imageError)) {
        ++table.count;
        return true;
    }
    ReportLoadFailure(sources, gl.imageError);
    slot = ImageSlot{};  // the next image reuses the slot
    return false;
}

ImageSlot SlotAt(std::string path, const MapCorners& corners) {
    ImageSlot slot;
    slot.path = std::move(path);
    slot.lat1 = corners.lat1;
    slot.lon1 = corners.lon1;
    slot.lat2 = corners.lat2;
    slot.lon2 = corners.lon2;
    return slot;
}

bool PlacePackage(GlContext& gl, const ImageSources& sources, const std::string& fileName,
                  DecodedImage d) {
    for (const std::string& message : d.messages) Report(sources, message);
    if (!d.read || gl.images.count >= kImageSlotCount) return false;
    // The image keeps the package's name: it never matches a special image.
    return PlaceImage(gl, sources, SlotAt(fileName, d.corners), d);
}

void LoadImages(GlContext& gl, const ImageSources& sources, DecodedAhead& ahead) {
    const std::string& folder = sources.programFolder;
    for (const std::string& name : FindMapPackages(folder)) {
        if (gl.images.count >= kImageSlotCount) break;
        PlacePackage(gl, sources, name, ahead.Take(folder + "/" + name, DecodePackage));
    }
    if (auto text = ReadListFile(folder + "/" + kImageListName)) {
        for (const ImageListEntry& entry : ParseImageList(*text, folder)) {
            if (gl.images.count >= kImageSlotCount) break;
            DecodedImage d = ahead.Take(ImageFileFor(entry.path, folder), DecodeImageFile);
            PlaceImage(gl, sources, SlotAt(entry.path, entry.corners), d);
        }
    }
    FindSpecialSlots(gl.images);
}

}  // namespace

bool LoadMapPackage(GlContext& gl, const ImageSources& sources, const std::string& fileName) {
    return PlacePackage(gl, sources, fileName,
                        DecodePackage(sources.programFolder + "/" + fileName));
}

void LoadImageList(GlContext& gl, const ImageSources& sources) {
    DecodedAhead none;
    LoadImages(gl, sources, none);
}

std::function<void(GlContext&)> MakeImageLoader(std::string programFolder, ImageErrorSink sink) {
    auto shown = std::make_shared<std::set<std::string>>();
    ImageSources sources;
    sources.programFolder = std::move(programFolder);
    sources.showError = [shown, sink = std::move(sink)](const std::string& message) {
        if (shown->insert(message).second && sink) sink(message);
    };
    // The first load's images are decoded from now on, beside the GL set-up.
    auto ahead = std::make_shared<std::future<DecodedAhead>>(
        std::async(std::launch::async, [folder = sources.programFolder] {
            return DecodedAhead(folder);
        }));
    return [sources, ahead](GlContext& gl) {
        DecodedAhead decoded = ahead->valid() ? ahead->get() : DecodedAhead();
        LoadImages(gl, sources, decoded);
    };
}

}  // namespace trakomer::gl
