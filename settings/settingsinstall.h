#pragma once
// The settings windows that the main window creates at start, handed to it
// as makers.

// Hands the main window the makers of these screens (before it is created).
void InstallSettingsScreens();
