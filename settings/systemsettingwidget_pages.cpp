// The settings hub's pages of system, camera and advanced settings: building
// and connecting them, the parameter groups and the live camera adjustment.

#include "settings/systemsettingwidget.h"

#include "camera/cameraunit.h"
#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "screen/mainwindow.h"
#include "screen/runcontroller.h"
#include "settings/advancedpages.h"
#include "settings/camerapages.h"
#include "settings/iopages.h"
#include "settings/settingsdialogs.h"
#include "settings/logpages.h"
#include "settings/networkpages.h"
#include "settings/networkparamswidget.h"
#include "settings/paramgroups.h"
#include "settings/systempages.h"
#include "widgets/blineedit.h"
#include "widgets/checkbox.h"
#include "widgets/combobox.h"
#include "widgets/cslider.h"
#include "widgets/splashwidget.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
constexpr int kAboutLogoWidth = 600;

// The about page: the product logo and texts.
class AboutPage : public SettingsPage
{
public:
    explicit AboutPage(QWidget* parent)
        : SettingsPage(parent)
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new SplashWidget(kAboutLogoWidth, this));
    }
};


// The camera of a view takes one image setting.
void ApplyToCamera(int view, ImageSetting s)
{
    CameraUnit* u = CameraUnitAt(view);
    if (!u)
        return;
    switch (s) {
    case ImageSetting::Exposure:
        u->SetExposeTime();
        break;
    case ImageSetting::Gain:
        u->SetAdjustPlus();
        break;
    case ImageSetting::Sharpness:
        u->SetSharp();
        break;
    case ImageSetting::Gamma:
        u->SetGamma();
        break;
    case ImageSetting::Contrast:
        u->SetContrast();
        break;
    }
}

}  // namespace

SettingsPage* SystemSettingWidget::makePage(int index)
{
    switch (index) {
    case 0:
        return systemParams = new SystemParamsWidget(stack);
    case 1:
        return systemFunctions = new SystemFunctionsWidget(stack);
    case 3:
        return cameraParams = new CameraParamsWidget(stack);
    case 4:
        return cameraFunctions = new CameraFunctionsWidget(stack);
    case 11:
        return advancedParams = new AdvanceparamWidget(stack);
    case 12:
        return advancedFunctions = new AdvanceFuncWidget(stack);
    case kDeviceTab:
        return new DeviceParamsWidget(stack);
    case kOtherNetworksTab:
        return new OtherNetworksWidget(stack);
    case kLogTab:
        return new SystemLogWidget(stack);
    case kMemoTab:
        return new MemorandumWidget(stack);
    case kNetworkTab:
        return new NetworkParamsWidget(stack);
    case kAboutTab:
        return new AboutPage(stack);
    case kIoParamsTab:
        return new IOParamsWidget(stack);
    case kIoFunctionsTab:
        return new IOFunctionsWidget(stack);
    case kHelpTab:
        return new HelpWidget(stack);
    default:
        // every tab has its page above
        return new SettingsPage(stack);
    }
}

void SystemSettingWidget::connectPages()
{
    auto* window = qobject_cast<MainWindow*>(parentWidget());
    applyImage = ApplyToCamera;
    cameraPanel = cameraParams->panel;
    SystemFunctionsWidget* f = systemFunctions;
    connect(f, &SystemFunctionsWidget::languageChosen, this, &SystemSettingWidget::SlotChangeLan);
    connect(f->resetCount, &QPushButton::clicked, this, &SystemSettingWidget::ResetTotal);
    connect(f->shutDown, &QPushButton::clicked, this, &SystemSettingWidget::SlotShutDown);
    connect(f->changePassword, &QPushButton::clicked, this,
            [this, f] { ChangePwd(f->newPassword->text(), f->confirmPassword->text()); });

    auto* network = static_cast<NetworkParamsWidget*>(pages[kNetworkTab]);
    connect(network->testButton, &QPushButton::clicked, this, &SystemSettingWidget::SlotCheckPing);
    connect(this, &SystemSettingWidget::checkResult, network, [network](const QString& text) {
        network->checkResult = text;
        network->resultLabel->setText(text);
    });

    AdvanceFuncWidget* a = advancedFunctions;
    connect(a->updateProgram, &QPushButton::clicked, this, &SystemSettingWidget::SlotUpdateApp);
    connect(a->modifyTime, &QPushButton::clicked, this, &SystemSettingWidget::SlotModifyTime);
    connect(a->calibrate, &QPushButton::clicked, this, &SystemSettingWidget::SlotCalibration);
    connect(a->exportData, &QPushButton::clicked, this, &SystemSettingWidget::SlotExportData);
    connect(a->factoryReset, &QPushButton::clicked, this, &SystemSettingWidget::SlotRestoreFactorySet);
    connect(a->exitProgram, &QPushButton::clicked, this, &SystemSettingWidget::SlotExit);
    if (window) {
        connect(a->hardwareInfo, &QPushButton::clicked, window, [window] {
            if (window->hardwareSheet)
                window->hardwareSheet->show();
        });
        a->testImages = [window] { return window->runController() && window->runController()->state().saveOriginals; };
        a->setTestImages = [window](bool on) {
            if (window->runController())
                window->runController()->state().saveOriginals = on;
        };
    }

    AdvanceparamWidget* g = advancedParams;
    connect(g->backup, &QPushButton::clicked, this, &SystemSettingWidget::SlotParaGroupBackup);
    connect(g->restore, &QPushButton::clicked, this, &SystemSettingWidget::SlotParaGroupRestore);
    connect(g->remove, &QPushButton::clicked, this, &SystemSettingWidget::SlotParaGroupDelete);
    connect(g->groupList, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SystemSettingWidget::SlotParaGroupChange);

    const auto factory = [this] { return factoryParamsTicked(); };
    cameraParams->factoryTicked = factory;
    cameraFunctions->factoryTicked = factory;
    static_cast<IOParamsWidget*>(pages[kIoParamsTab])->factoryShown = factory;
    static_cast<IOFunctionsWidget*>(pages[kIoFunctionsTab])->factoryShown = factory;
    connect(this, &SystemSettingWidget::reDetectCaption, systemParams, &SystemParamsWidget::setReDetectCaption);
    connect(cameraFunctions->switches.boxes[kAutoShadingSwitch], &QCheckBox::stateChanged, this,
            &SystemSettingWidget::SetAutoWDR);

    CameraParamsSubWidget* panel = cameraParams->panel;
    for (QAbstractButton* b : panel->cameras->buttons())
        connect(b, &QAbstractButton::clicked, this, &SystemSettingWidget::SlotChangeCamera);
    connect(panel->restoreDefaults, &QPushButton::clicked, this, &SystemSettingWidget::SlotRestoreDefaultSettings);
    connect(panel->cameraOrder, &QPushButton::clicked, this, &SystemSettingWidget::SlotTuneCamera);
    const std::pair<ImageSetting, void (SystemSettingWidget::*)(int)> live[] = {
        {ImageSetting::Exposure, &SystemSettingWidget::SetExposeTime},
        {ImageSetting::Gain, &SystemSettingWidget::SetAdjust},
        {ImageSetting::Sharpness, &SystemSettingWidget::SetSharp},
        {ImageSetting::Gamma, &SystemSettingWidget::SetGamma},
        {ImageSetting::Contrast, &SystemSettingWidget::SetContrast},
    };
    for (const auto& l : live)
        connect(cameraParams->imageSlider(l.first), &QSlider::valueChanged, this, l.second);
    panel->mainWindow = window;
    if (window) {
        panel->cameraPramsAdjust = [this, window](bool views) {
            if (views) {
                contentBeforePanel = window->contentStack->currentIndex();
                window->contentStack->setCurrentIndex(0);
            } else {
                window->contentStack->setCurrentIndex(contentBeforePanel);
            }
            window->ChangeCammer();
        };
    }
}

bool SystemSettingWidget::factoryParamsTicked() const
{
    return advancedFunctions->factoryTicked();
}

void SystemSettingWidget::setActionPorts(std::unique_ptr<MaintenancePorts> p)
{
    actionPorts = std::move(p);
    actions = std::make_unique<Maintenance>(*actionPorts);
}

void SystemSettingWidget::ParaGroupUpdateList()
{
    ComboBox* list = advancedParams->groupList;
    const QSignalBlocker quiet(list);
    list->clear();
    const QStringList names = ParamGroups::List();
    for (int i = 0; i < names.size(); ++i)
        list->addItem(names[i], i);
}

void SystemSettingWidget::SlotParaGroupChange(int)
{
    advancedParams->groupName->setText(advancedParams->groupList->currentText());
}

void SystemSettingWidget::SlotParaGroupBackup()
{
    ComboBox* list = advancedParams->groupList;
    const QString name = advancedParams->groupName->text();
    const bool known = list->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0;
    ParamGroups groups(*actionPorts, *gpWPara, *gpWParaBak);
    if (!groups.Backup(name, gDNum))
        return;
    if (!known)
        ParaGroupUpdateList();
    list->setCurrentIndex(gpWPara->paramGroup);
}

void SystemSettingWidget::SlotParaGroupRestore()
{
    ComboBox* list = advancedParams->groupList;
    ParamGroups groups(*actionPorts, *gpWPara, *gpWParaBak);
    groups.Restore(list->currentText(), list->currentIndex(), gDNum);
}

void SystemSettingWidget::SlotParaGroupDelete()
{
    ComboBox* list = advancedParams->groupList;
    ParamGroups groups(*actionPorts, *gpWPara, *gpWParaBak);
    if (list->currentIndex() >= 0 && groups.Delete(list->currentText()))
        list->removeItem(list->currentIndex());
}

void SystemSettingWidget::setImage(ImageSetting s, int v)
{
    ImageValue(*gpWParaBak, s, outSet) = v;
    if (applyImage)
        applyImage(outSet, s);
}

void SystemSettingWidget::applyAllExposures()
{
    for (int view = 0; view < kMaxCameras; ++view) {
        if (applyImage)
            applyImage(view, ImageSetting::Exposure);
    }
}

void SystemSettingWidget::SetExposeTime(int v) { setImage(ImageSetting::Exposure, v); }
void SystemSettingWidget::SetAdjust(int v) { setImage(ImageSetting::Gain, v); }
void SystemSettingWidget::SetSharp(int v) { setImage(ImageSetting::Sharpness, v); }
void SystemSettingWidget::SetContrast(int v) { setImage(ImageSetting::Contrast, v); }
void SystemSettingWidget::SetGamma(int v) { setImage(ImageSetting::Gamma, v); }

void SystemSettingWidget::SetAutoWDR(int e)
{
    gpWParaBak->autoShading = e;
    applyAllExposures();
}

void SystemSettingWidget::SetAutoExp(int e)
{
    gpWParaBak->autoExposure = e;
    applyAllExposures();
}

void SystemSettingWidget::SlotChangeCamera()
{
    if (numCamera == 1)
        return;
    const int id = cameraPanel->cameras->id(qobject_cast<QAbstractButton*>(sender()));
    if (id >= 0)
        outSet = id;
    if (auto* window = qobject_cast<MainWindow*>(parentWidget())) {
        window->selectedView = outSet;
        window->ChangeCammer();
    }
    cameraParams->showCamera(outSet);
    update();
}

void SystemSettingWidget::SlotRestoreDefaultSettings()
{
    if (!actionPorts->ask(LanStr(527)))
        return;
    if (CameraUnit* u = CameraUnitAt(outSet))
        u->RestoreDefaultSettings();
    cameraParams->WizardParaInit();
}

void SystemSettingWidget::SlotTuneCamera()
{
    auto* window = qobject_cast<MainWindow*>(parentWidget());
    if (!window)
        return;
    window->setcontentLayout();
    if (window->changeCamera)
        window->changeCamera->show();
}
