#include "core/geodesy.h"

#include <cmath>

namespace trakomer {

UnitFactors UnitFactorsFor(int units) {
    if (units == static_cast<int>(Units::Imperial)) {
        return {1.15077945, 3.2808399, 1.0, 2.20462262, 0.621371192,
                "miles",    "ft",      "mph", "Calories", "lbs"};
    }
    return {1.852, 1.0, 4.184, 1.0, 1.0, "km", "m", "kph", "kJ", "kg"};
}

double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2) {
    // The cosine formula rounds to a few centimetres for one point twice;
    // a receiver standing still must not add distance.
    if (lat1 == lat2 && lon1 == lon2) return 0.0;
    const double x =
        std::sin(lat1) * std::sin(lat2) + std::cos(lat1) * std::cos(lat2) * std::cos(lon1 - lon2);
    if (x < -1.0 || x > 1.0) return 0.0;
    return std::acos(x) * kEarthRadiusNm;
}

double TrackAngle(double lat1, double lon1, double lat2, double lon2) {
    const double dN = lat2 - lat1;
    const double dE = lon2 - lon1;
    const double theta = std::asin(dE / std::sqrt(dN * dN + dE * dE)) * kRadToDeg;
    return lat2 > lat1 ? -theta : 180.0 + theta;
}

}  // namespace trakomer
