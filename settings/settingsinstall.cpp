#include "settings/settingsinstall.h"

#include "core/globals.h"
#include "screen/settingsscreens.h"
#include "settings/camerapages.h"
#include "settings/settingsdialogs.h"
#include "settings/systemsettingwidget.h"

void InstallSettingsScreens()
{
    static SystemSettingWidget* settings = nullptr;
    SettingsScreens& s = settingsScreens();
    s.makeSettingsWidget = [](QWidget* parent) { return settings = new SystemSettingWidget(parent); };
    s.makeChangeCamera = [](QWidget* parent) {
        return new WidgetChangeCamera(parent, numCamera, [] {
            if (settings)
                settings->SlotShutDown();
        });
    };
    s.makeIONames = [](QWidget* parent) { return new CustomIONameWidget(parent, settings); };
    s.initIONames = [](QWidget* names) { static_cast<CustomIONameWidget*>(names)->init(); };
    s.makeHardwareSheet = [](QWidget* parent) {
        return new HardwareConfigurationWidget(parent, [] {
            if (settings)
                settings->show();
        });
    };
    s.cameraPanelShown = [] { return settings && settings->cameraPanel->isVisible(); };
}
