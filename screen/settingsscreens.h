#pragma once
// The settings screens are built above the main window; they hand it their
// makers once at program start (settings/: InstallSettingsScreens). Without
// them the main window makes plain hidden stand-ins of the same size.

#include <functional>

class QWidget;

struct SettingsScreens {
    // SystemSettingWidget: page 1 of the content stack.
    std::function<QWidget*(QWidget* parent)> makeSettingsWidget;
    // WidgetChangeCamera: the camera-order dialog.
    std::function<QWidget*(QWidget* parent)> makeChangeCamera;
    // CustomIONameWidget, and its init that loads the sixteen name choices.
    std::function<QWidget*(QWidget* parent)> makeIONames;
    std::function<void(QWidget* ioNames)> initIONames;
    // HardwareConfigurationWidget: the read-only hardware sheet.
    std::function<QWidget*(QWidget* parent)> makeHardwareSheet;
    // The camera panel of the settings screen (exposure and gain) is visible.
    std::function<bool()> cameraPanelShown;
};

SettingsScreens& settingsScreens();
