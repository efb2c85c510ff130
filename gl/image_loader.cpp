#include "gl/image_loader.h"

#include <memory>

#include "gl/image_read_ahead.h"
#include "gl/texture_upload.h"

namespace trakomer::gl {
namespace {

void Report(const ImageSources& sources, const std::string& message) {
    if (sources.showError) sources.showError(message);
}

// Puts one read image into the next free slot with a texture that takes its
// pixels when first drawn; a failure is reported and leaves the slot free
// for the next image.
bool TakeImage(GlContext& gl, const ImageSources& sources, ReadImage read) {
    for (const std::string& message : read.messages) Report(sources, message);
    ImageSlotTable& table = gl.images;
    if (!read.takesSlot || table.count >= kImageSlotCount) return false;
    const int index = table.count;
    ImageSlot& slot = table.slots[static_cast<size_t>(index)];
    slot = ImageSlot{};
    slot.path = read.slotPath;
    slot.lat1 = read.corners.lat1;
    slot.lon1 = read.corners.lon1;
    slot.lat2 = read.corners.lat2;
    slot.lon2 = read.corners.lon2;
    if (!read.image) gl.imageError = read.error;
    if (read.image && PrepareSlotImage(table, index,
                                       std::make_shared<const TgaImage>(std::move(*read.image)),
                                       gl.imageError)) {
        ++table.count;
        return true;
    }
    Report(sources, "LoadTexture failed: " + gl.imageError);
    slot = ImageSlot{};
    return false;
}

void FillImageTable(GlContext& gl, const ImageSources& sources, ImageReadAhead& ahead) {
    while (gl.images.count < kImageSlotCount) {
        std::optional<ReadImage> read = ahead.Next();
        if (!read) break;
        TakeImage(gl, sources, std::move(*read));
    }
    FindSpecialSlots(gl.images);
}

}  // namespace

bool LoadMapPackage(GlContext& gl, const ImageSources& sources, const std::string& fileName) {
    return TakeImage(gl, sources, ReadPackageImage(sources.programFolder, fileName));
}

void LoadImageList(GlContext& gl, const ImageSources& sources) {
    ImageReadAhead ahead(sources.programFolder);
    FillImageTable(gl, sources, ahead);
}

ImageLoading MakeImageLoading(std::string programFolder, ImageErrorSink sink) {
    struct State {
        ImageSources sources;
        std::unique_ptr<ImageReadAhead> ahead;
    };
    auto state = std::make_shared<State>();
    auto shown = std::make_shared<std::set<std::string>>();
    state->sources.programFolder = std::move(programFolder);
    state->sources.showError = [shown, sink = std::move(sink)](const std::string& message) {
        if (shown->insert(message).second && sink) sink(message);
    };
    ImageLoading loading;
    loading.start = [state] {
        if (!state->ahead) state->ahead = std::make_unique<ImageReadAhead>(state->sources.programFolder);
    };
    loading.load = [state](GlContext& gl) {
        std::unique_ptr<ImageReadAhead> ahead = std::move(state->ahead);
        if (!ahead) ahead = std::make_unique<ImageReadAhead>(state->sources.programFolder);
        FillImageTable(gl, state->sources, *ahead);
    };
    return loading;
}

std::function<void(GlContext&)> MakeImageLoader(std::string programFolder, ImageErrorSink sink) {
    return MakeImageLoading(std::move(programFolder), std::move(sink)).load;
}

}  // namespace trakomer::gl
