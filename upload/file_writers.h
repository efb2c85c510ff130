#pragma once
// The upload writers backed by the track file module's Google Earth and
// changes writers.

#include <string>

#include "upload/uploader.h"

namespace trakomer::upload {

// dataFolder: the program folder, which holds the run.png icon packed into
// the documents.
UploadWriters FileUploadWriters(const std::string& dataFolder);

}  // namespace trakomer::upload
