#include "prefs/tracks_model.h"

namespace trakomer::prefs {

std::string FileNamePart(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string LimitedPath(const std::string& path, size_t capacity) {
    return capacity == 0 ? std::string() : path.substr(0, capacity - 1);
}

}  // namespace trakomer::prefs
