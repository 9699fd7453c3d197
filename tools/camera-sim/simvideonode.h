#pragma once
// Camera family 9 (USB cameras read through FFmpeg): the simulated cameras as
// video nodes and as entries of the kernel's input-device list.

#include <string>

struct AVFormatContext;

namespace simcam {

// The kernel's input-device list as it reads with the online cameras
// plugged in (one "WebCam" entry each) when the rig serves USB cameras.
std::string InputDeviceList();

// Opens video node `node` (camera folder camN) as an FFmpeg input that
// delivers the camera's frames at its frame rate as raw video. Returns 0 or
// a negative FFmpeg error; *context is null on failure.
int OpenVideoNode(int node, AVFormatContext** context);
// Closes an input made by OpenVideoNode; does nothing for other inputs.
// Returns true when it was one of ours.
bool CloseVideoNode(AVFormatContext** context);

}  // namespace simcam
