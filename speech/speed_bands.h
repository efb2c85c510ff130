#pragma once
// The speeds at which a change of speed is announced, per usage profile.

#include <span>

namespace trakomer::speech {

// Ascending band edges in display units (km/h or mph) for mUserProfile.
std::span<const float> SpeedBandsFor(int userProfile);

// The band edge to announce for speed s, given the last speed spoken;
// 0 when nothing is to be said. s on an edge gives that edge; a rising
// speed gives its band's lower edge, a falling one the upper edge, unless
// that edge was the last spoken. Speeds outside the table give 0.
float SpeedToAnnounce(std::span<const float> bands, float s, float lastSpoken);

}  // namespace trakomer::speech
