#pragma once
// Command numbers of the Tools menu, the review buttons and the
// accelerators. Tests trigger commands by these numbers.

namespace trakomer {

constexpr int kCmdNothing = 1;  // Ctrl+Q
constexpr int kCmdFlyToFirst = 101;
constexpr int kFlyToMaxEntries = 28;
constexpr int kCmdAbout = 40003;
constexpr int kCmdExit = 40004;
constexpr int kCmdDebug = 40005;  // never shown
constexpr int kCmdReset = 40006;
constexpr int kCmdSave = 40012;
constexpr int kCmdOpen = 40013;
constexpr int kCmdPreferences = 40018;
constexpr int kCmdUploadNow = 40032;
constexpr int kCmdStop = 40041;
constexpr int kCmdPause = 40043;
constexpr int kCmdStart = 40044;
constexpr int kCmdRewind = 40045;
constexpr int kCmdStepBack = 40046;
constexpr int kCmdStepForward = 40047;
constexpr int kCmdFastForward = 40048;
constexpr int kCmdEnd = 40049;
constexpr int kCmdDeleteCurrent = 40050;
constexpr int kCmdPlay = 40058;
constexpr int kCmdContents = 40063;
constexpr int kCmdCurrentLocation = 40067;
constexpr int kCmdSetWaypoint = 40068;
constexpr int kCmdSaveWaypoints = 40069;

}  // namespace trakomer
