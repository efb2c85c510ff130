#pragma once
// Distance and direction on the sphere, and the display unit factors.

namespace trakomer {

constexpr double kDegToRad = 0.0174532925239284;
constexpr double kEarthRadiusNm = 3437.7387;
constexpr double kRadToDeg = 57.2957795;
constexpr double kMetresPerNm = 1852.0;

enum class Units { Metric = 1, Imperial = 2 };

struct UnitFactors {
    double distanceFactor;  // km or miles per nautical mile
    double altitudeFactor;  // metres or feet per metre
    double energyFactor;    // kJ or Calories per kcal
    double weightFactor;    // kg or pounds per kg
    double kmFactor;        // km or miles per km
    const char* distanceLabel;
    const char* altitudeLabel;
    const char* speedLabel;
    const char* energyLabel;
    const char* weightLabel;
};

// Factors for mUnits: 2 is imperial, anything else metric.
UnitFactors UnitFactorsFor(int units);

// Great-circle distance in nautical miles; arguments in radians.
double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2);

// Course from point 1 to point 2 in degrees, counter-clockwise from north
// (west 90, south 180, east 270); arguments in radians. The two points must
// differ.
double TrackAngle(double lat1, double lon1, double lat2, double lon2);

}  // namespace trakomer
