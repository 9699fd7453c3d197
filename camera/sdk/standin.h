#pragma once
// Simulated cameras standing in for the hardware of this run, where the build
// links them (MOULDMON_SIM_SDKS, camera/CMakeLists.txt). A device build links
// camera/sdk/nostandin.cpp: nothing stands in, and USB cameras are the
// kernel's video nodes.

#include <cstdint>
#include <string>

struct AVFormatContext;

namespace standin {

// Simulated cameras serve this run (MOULDMON_SIM_CAMERAS names their folder).
// The program then sends nothing on the host's network for its cameras.
bool Active();

// The kernel's input-device list as it reads with the simulated USB cameras
// plugged in.
std::string InputDeviceList();

// Opens the simulated USB camera of video node `node` as an FFmpeg input.
// Returns 0 or a negative FFmpeg error; *context is null on failure.
int OpenVideoNode(int node, AVFormatContext** context);
// Closes an input made by OpenVideoNode; false (nothing done) for any other.
bool CloseVideoNode(AVFormatContext** context);

// A simulated device or host answers on this address (IPv4, host order): the
// ping probe of the network-camera repair asks this in place of the network.
bool AddressAnswers(uint32_t address);

}  // namespace standin
