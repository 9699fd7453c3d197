#pragma once
// Stand-ins for the settings dialogs that the main window creates at start:
// they exist from start-up with the visibility the other screens read, and
// show nothing yet.

#include "widgets/bwidget.h"

// The camera-order dialog.
class WidgetChangeCamera : public BWidget
{
    Q_OBJECT
public:
    explicit WidgetChangeCamera(QWidget* parent = nullptr);
};

// The custom IO-name dialog; init loads its sixteen name choices.
class CustomIONameWidget : public BWidget
{
    Q_OBJECT
public:
    explicit CustomIONameWidget(QWidget* parent = nullptr);
    void init() {}
};

// The read-only hardware sheet.
class HardwareConfigurationWidget : public BWidget
{
    Q_OBJECT
public:
    explicit HardwareConfigurationWidget(QWidget* parent = nullptr);
};

// Hands the main window the makers of these screens (before it is created).
void InstallSettingsScreens();
