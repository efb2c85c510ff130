#include "gl/image_loader.h"

#include <fstream>
#include <span>
#include <sstream>
#include <vector>

#include "gl/texture_upload.h"
#include "maps/image_list.h"
#include "maps/map_package.h"

namespace trakomer::gl {
namespace {

using maps::ImageListEntry;
using maps::MapPackage;
using maps::FindMapPackages;
using maps::ImageFileFor;
using maps::kImageListName;
using maps::ParseImageList;
using maps::ReadMapPackage;

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

void LoadListEntry(GlContext& gl, const ImageSources& sources, const ImageListEntry& entry) {
    ImageSlotTable& table = gl.images;
    const int index = table.count;
    ImageSlot& slot = table.slots[static_cast<size_t>(index)];
    slot = ImageSlot{};
    slot.path = entry.path;
    slot.lat1 = entry.corners.lat1;
    slot.lon1 = entry.corners.lon1;
    slot.lat2 = entry.corners.lat2;
    slot.lon2 = entry.corners.lon2;
    std::optional<TgaImage> image =
        ReadTga(ImageFileFor(entry.path, sources.programFolder), gl.imageError);
    if (image && UploadSlotImage(table, index, *image, gl.imageError)) {
        ++table.count;
    } else {
        ReportLoadFailure(sources, gl.imageError);
        slot = ImageSlot{};  // the next line reuses the slot
    }
}

}  // namespace

bool LoadMapPackage(GlContext& gl, const ImageSources& sources, const std::string& fileName) {
    ImageSlotTable& table = gl.images;
    const std::string path = sources.programFolder + "/" + fileName;
    MapPackage package;
    std::vector<std::string> messages;
    const bool read = ReadMapPackage(path, package, messages);
    for (const std::string& message : messages) Report(sources, message);
    if (!read || table.count >= kImageSlotCount) return false;
    const int index = table.count;
    ImageSlot& slot = table.slots[static_cast<size_t>(index)];
    slot = ImageSlot{};
    // The image keeps the package's name: it never matches a special image.
    slot.path = fileName;
    slot.lat1 = package.corners.lat1;
    slot.lon1 = package.corners.lon1;
    slot.lat2 = package.corners.lat2;
    slot.lon2 = package.corners.lon2;
    const auto* bytes = reinterpret_cast<const uint8_t*>(package.imageBytes.data());
    std::optional<TgaImage> image =
        DecodeTga(std::span(bytes, package.imageBytes.size()), package.imageName, gl.imageError);
    if (image && UploadSlotImage(table, index, *image, gl.imageError)) {
        ++table.count;
        return true;
    }
    ReportLoadFailure(sources, gl.imageError);
    slot = ImageSlot{};
    return false;
}

void LoadImageList(GlContext& gl, const ImageSources& sources) {
    for (const std::string& name : FindMapPackages(sources.programFolder)) {
        if (gl.images.count >= kImageSlotCount) break;
        LoadMapPackage(gl, sources, name);
    }
    if (auto text = ReadListFile(sources.programFolder + "/" + kImageListName)) {
        for (const ImageListEntry& entry : ParseImageList(*text, sources.programFolder)) {
            if (gl.images.count >= kImageSlotCount) break;
            LoadListEntry(gl, sources, entry);
        }
    }
    FindSpecialSlots(gl.images);
}

std::function<void(GlContext&)> MakeImageLoader(std::string programFolder, ImageErrorSink sink) {
    auto shown = std::make_shared<std::set<std::string>>();
    ImageSources sources;
    sources.programFolder = std::move(programFolder);
    sources.showError = [shown, sink = std::move(sink)](const std::string& message) {
        if (shown->insert(message).second && sink) sink(message);
    };
    return [sources](GlContext& gl) { LoadImageList(gl, sources); };
}

}  // namespace trakomer::gl
