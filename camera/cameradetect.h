#pragma once
// Camera discovery: which family serves the machine, how many cameras it
// has and the frame geometry of the whole program. Runs once at start-up,
// before the views exist.

#include <QString>

// Tries the families in their fixed order and sets gCameraID, gFindCamera,
// gOW/gOH, gImageW/gImageH and gSensorColor.
void CheckCameraID();

// The camera SDK's version text that start-up writes to the operation record:
// family 6 only; empty for the other families or when it cannot be read.
QString CameraSdkVersion();

// Number of USB cameras the kernel lists (lines naming a camera or webcam in
// its input-device list, copied to "devices" in the working directory).
int CheckUSBCameraNum();
// Lines of file that contain "camera" or "webcam", in any case; 0 when the
// file cannot be read.
int CountUsbCameraLines(const QString& file);

// Frame geometry for a sensor of ow x oh (families 4 and 6; reduced presets
// on when cut). preset: family 6 takes entry 10 of the camera's preset list.
struct FrameGeometry {
    int width = 0;
    int height = 0;
    bool preset = false;
};
FrameGeometry DetectedGeometry(int family, int ow, int oh, bool cut);

// Geometry when nothing is found.
constexpr int kNoCameraCount = 4;
constexpr int kNoCameraWidth = 1920;
constexpr int kNoCameraHeight = 1080;
