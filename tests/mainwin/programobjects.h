#pragma once
// For a main window built in the calling process.

// The process-wide objects the program makes before its main window, in its
// order (mutexes, texts, settings, settings screens); the network link and
// the LED device are left out.
void MakeProgramObjects();
