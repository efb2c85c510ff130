#pragma once
// The key of a GL frame: a digest of everything the next frame of the
// track and globe screens is drawn from. Equal keys mean equal pictures, so
// a tick that changed nothing shown needs no frame.

#include <cstdint>
#include <optional>

namespace trakomer::gl {

struct GlContext;
class ScreenViews;

// Empty when the frame must be drawn whatever was drawn before: not a GL
// screen, no context, a new layout due, or the map or the globe moving by
// itself (a drag's pan or spin rate).
std::optional<uint64_t> FrameKey(const ScreenViews& views, const GlContext& gl);

}  // namespace trakomer::gl
