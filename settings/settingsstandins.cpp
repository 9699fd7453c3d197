#include "settings/settingsstandins.h"

#include "screen/settingsscreens.h"
#include "settings/camerapages.h"
#include "settings/systemsettingwidget.h"

namespace {
constexpr int kDialogWidth = 800;
constexpr int kDialogHeight = 600;

void hiddenDialog(QWidget* dialog)
{
    dialog->setFixedSize(kDialogWidth, kDialogHeight);
    dialog->hide();
}
}  // namespace

WidgetChangeCamera::WidgetChangeCamera(QWidget* parent)
    : BWidget(parent)
{
    hiddenDialog(this);
}

CustomIONameWidget::CustomIONameWidget(QWidget* parent)
    : BWidget(parent)
{
    hiddenDialog(this);
}

HardwareConfigurationWidget::HardwareConfigurationWidget(QWidget* parent)
    : BWidget(parent)
{
    hiddenDialog(this);
}

void InstallSettingsScreens()
{
    static SystemSettingWidget* settings = nullptr;
    SettingsScreens& s = settingsScreens();
    s.makeSettingsWidget = [](QWidget* parent) { return settings = new SystemSettingWidget(parent); };
    s.makeChangeCamera = [](QWidget* parent) { return new WidgetChangeCamera(parent); };
    s.makeIONames = [](QWidget* parent) { return new CustomIONameWidget(parent); };
    s.initIONames = [](QWidget* names) { static_cast<CustomIONameWidget*>(names)->init(); };
    s.makeHardwareSheet = [](QWidget* parent) { return new HardwareConfigurationWidget(parent); };
    s.cameraPanelShown = [] { return settings && settings->cameraPanel->isVisible(); };
}
