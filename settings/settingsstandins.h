#pragma once
// The settings windows that the main window creates at start, handed to it
// as makers; the camera panel is still a plain stand-in that shows nothing.

#include "widgets/bwidget.h"

class CameraParamsSubWidget : public BWidget
{
    Q_OBJECT
public:
    explicit CameraParamsSubWidget(QWidget* parent = nullptr);
};

// Hands the main window the makers of these screens (before it is created).
void InstallSettingsScreens();
