#pragma once
// Reboot and power-off of the device, through the command runner. When the
// runner only records (simulation, tests) the process ends in place of the
// machine, unless a test installs its own handler.

#include <functional>

void SystemReboot();    // "reboot"
void SystemPowerOff();  // "init 0"

// Replaces what happens after a recorded reboot or power-off (nullptr restores).
void SetRecordedPowerHandler(std::function<void(const char* command)> handler);
