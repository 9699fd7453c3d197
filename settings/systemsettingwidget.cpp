#include "settings/systemsettingwidget.h"

#include "camera/cameraloss.h"
#include "camera/cameraunit.h"
#include "core/globals.h"
#include "core/mapplication.h"
#include "core/usbdisk.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "screen/mainwindow.h"
#include "network/network.h"
#include "settings/advancedpages.h"
#include "settings/camerapages.h"
#include "settings/netstaging.h"
#include "settings/paramgroups.h"
#include "settings/settingspage.h"
#include "settings/systempages.h"
#include "screen/operationrecord.h"
#include "screen/runcontroller.h"
#include "widgets/blineedit.h"
#include "widgets/bmessagebox.h"
#include "widgets/checkbox.h"
#include "widgets/combobox.h"
#include "widgets/cslider.h"
#include "widgets/numberinput.h"
#include "widgets/numcharinput.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QThread>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedLayout>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kTabWidth = 300;
constexpr int kTabHeight = 60;   // all fifteen tabs fit the screen
constexpr int kIconSize = 46;

// One tab group: its icon and the text entry of each tab.
struct TabGroup {
    const char* icon;
    QVector<int> texts;
};

const TabGroup kGroups[] = {
    {":/img/icons/setting.png", {215, 572, 431}},
    {":/img/icons/3c.png", {128, 573}},
    {":/img/icons/49.png", {262, 574}},
    {":/img/icons/50.png", {575, 576}},
    {":/img/icons/51.png", {577, 578}},
    {":/img/icons/52.png", {205, 581}},
    {":/img/icons/53.png", {579, 580}},
};

constexpr int kLogTab = 7;
constexpr int kMemoTab = 8;
constexpr int kDeviceTab = 2;

const QString kTabStyle = QStringLiteral(
    "QPushButton{font-size:24px;text-align:left;padding-left:12px;border:none;"
    "background-color:#e9edf5;color:#1f3f8d;}"
    "QPushButton:checked{background-color:#1f3f8d;color:#ffffff;}");

// What the confirmation reaches in the main window and the cameras.
class WindowPorts : public ConfirmPorts
{
public:
    WindowPorts(SystemSettingWidget* hub, MainWindow* window)
        : hub(hub)
        , window(window)
    {
    }

    void lowerFactoryLevel() override
    {
        if (window && window->userLevel() == UserFactory)
            window->setUserLevel(gpWPara->isPswUsed ? UserOperator : UserNone);
    }
    void storePages() override
    {
        for (int index : SystemSettingWidget::SettingsPages())
            hub->page(index)->accept();
    }
    bool ask(const QString& text) override { return showChooseBox(text); }
    void warn(const QString& text) override { showWarnBox(text); }
    void record(const QString& text) override
    {
        if (window)
            window->InsertRecord(text);
    }
    bool save() override { return window && gpWPara->SaveDatatoFile(window->paramDb); }
    void restartScreenOff(int ms) override
    {
        if (window && window->screenOffTimer())
            window->screenOffTimer()->start(ms);
    }
    void cameraTrigger() override { eachCamera([](CameraUnit* u) { u->CameraChangeTrig(false); }); }
    void cameraSpeed() override { CameraSetSpeed(); }
    void restoreCameras(const SettingsChanges& c) override
    {
        for (int i = 0; i < numCamera && i < kMaxCameras; ++i) {
            CameraUnit* u = CameraUnitAt(i);
            if (!u)
                continue;
            if (c.cameraValue[i][0] || c.autoModes)
                u->SetExposeTime();
            if (c.cameraValue[i][1])
                u->SetAdjustPlus();
            if (c.cameraValue[i][2])
                u->SetSharp();
            if (c.cameraValue[i][3])
                u->SetContrast();
            if (c.cameraValue[i][4])
                u->SetGamma();
        }
    }
    bool takeRestartRequest() override
    {
        const bool requested = gpNet && gpNet->isRestartRequested;
        if (gpNet)
            gpNet->isRestartRequested = false;
        return requested;
    }
    void restartNetClient() override { CNT_Net::CNT_ReStart(); }
    bool networkEdited() override
    {
        return gpNet
            && (gpNet->netCardEdit.hostName != gpNet->netCard.hostName
                || gpNet->netCardEdit.cardMap != gpNet->netCard.cardMap);
    }
    QString invalidNetwork() override
    {
        return gpNet ? NetStaging::InvalidEditedAddress(gpNet->netCardEdit, gpNet->netCard) : QString();
    }
    int stageNetwork() override
    {
        return gpNet ? NetStaging::Stage(gpNet->netCardEdit, gpNet->netCard, *gpWParaBak, *gpWPara) : 0;
    }
    void commitNetwork() override
    {
        if (gpNet)
            gpNet->netCard = gpNet->netCardEdit;
    }
    void discardNetwork() override
    {
        if (gpNet)
            gpNet->netCardEdit = gpNet->netCard;
    }
    void applyNetwork(int bits) override
    {
        NetStaging::Apply(bits, gpNet ? gpNet->netCard.cardMap : QMap<QString, QStringList>());
        CNT_Net::CNT_ReStart();
    }
    void repaint() override
    {
        if (window)
            window->update();
    }
    int* sideFlag() override { return &side; }

private:
    template <typename F>
    void eachCamera(F f)
    {
        for (int i = 0; i < numCamera && i < kMaxCameras; ++i) {
            if (CameraUnit* u = CameraUnitAt(i))
                f(u);
        }
    }

    SystemSettingWidget* hub;
    MainWindow* window;
    int side = 0;
};

// What the maintenance actions reach in the main window and the system.
class WindowActionPorts : public MaintenancePorts
{
public:
    WindowActionPorts(SystemSettingWidget* hub, MainWindow* window)
        : hub(hub)
        , window(window)
    {
    }
    bool ask(const QString& text) override { return showChooseBox(text); }
    void warn(const QString& text) override { showWarnBox(text); }
    void record(const QString& text) override
    {
        if (window)
            window->InsertRecord(text);
    }
    void confirmSettings() override { hub->accept(); }
    void saveSettings() override
    {
        if (window)
            gpWPara->SaveDatatoFile(window->paramDb);
    }
    void stopWatchdog() override { StopWTD(); }
    void flush() override
    {
        if (window)
            window->FLushAll();
    }
    void pause(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }
    QString findUsbDisk() override { return FindAU(); }
    QString chooseUpdateFile(const QString& root) override
    {
        return QFileDialog::getOpenFileName(hub, QStringLiteral("选择投影数据文件目录"), root,
                                            QStringLiteral("*.[r,t]ar*"));
    }
    void writeCounts() override { OperationRecord::CountWrite(); }
    void hidePad() override
    {
        if (gpNumPad)
            gpNumPad->HideUpdate();
    }
    bool checkRoot() override { return window && window->CheckRoot(); }
    void clearRecord() override
    {
        if (window && window->runController())
            window->runController()->record().ClearRecord();
    }
    void exitProgram(int code) override { Exit(code); }

private:
    SystemSettingWidget* hub;
    MainWindow* window;
};

// What the parameter groups reach in the main window.
class WindowGroupPorts : public GroupPorts
{
public:
    WindowGroupPorts(SystemSettingWidget* hub, MainWindow* window)
        : hub(hub)
        , window(window)
    {
    }
    bool ask(const QString& text) override { return showChooseBox(text); }
    void warn(const QString& text) override { showWarnBox(text); }
    void record(const QString& text) override
    {
        if (window)
            window->InsertRecord(text);
    }
    void confirmSettings() override { hub->accept(); }
    void hidePad() override
    {
        if (gpNumCharPad)
            gpNumCharPad->HideUpdate();
    }
    void flush() override
    {
        if (window)
            window->FLushAll();
    }

private:
    SystemSettingWidget* hub;
    MainWindow* window;
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

int outSet = 0;

PendingPage::PendingPage(const QString& title, QWidget* parent)
    : SettingsPage(parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(title + QLatin1Char('\n') + LanStr(605), this);
    label->setObjectName(QStringLiteral("pendingLabel"));
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("font-size:32px;color:#808080;"));
    layout->addWidget(label);
}

const QVector<int>& SystemSettingWidget::SettingsPages()
{
    static const QVector<int> order{0, 1, 2, 3, 4, 5, 6, 9, 10, 11, 12};
    return order;
}

SystemSettingWidget::SystemSettingWidget(QWidget* parent)
    : BWidget(parent)
    , applyImage(ApplyToCamera)
    , tabGroup(new QButtonGroup(this))
    , tabColumn(new QWidget)
    , titleLabel(new QLabel(this))
    , exit(new QPushButton(LanStr(590), this))
    , stack(new QStackedWidget(this))
    , ports(std::make_unique<WindowPorts>(this, qobject_cast<MainWindow*>(parent)))
    , actionPorts(std::make_unique<WindowActionPorts>(this, qobject_cast<MainWindow*>(parent)))
    , actions(std::make_unique<Maintenance>(*actionPorts))
    , groupPorts(std::make_unique<WindowGroupPorts>(this, qobject_cast<MainWindow*>(parent)))
{
    setStyleSheet(QStringLiteral("SystemSettingWidget{background-color:#ffffff;}"));
    buildTabs();
    cameraPanel = cameraParams->panel;
    connectPages();
    ParaGroupUpdateList();

    titleLabel->setStyleSheet(QStringLiteral("font-size:32px;color:#1f3f8d;"));
    exit->setObjectName(QStringLiteral("exitSetup"));
    exit->setMinimumSize(200, 70);
    exit->setStyleSheet(QStringLiteral("font-size:26px;"));

    auto* scroll = new QScrollArea(this);
    scroll->setWidget(tabColumn);
    scroll->setWidgetResizable(true);
    scroll->setFixedWidth(kTabWidth + 20);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* head = new QHBoxLayout;
    head->addWidget(titleLabel, 1);
    head->addWidget(exit);
    auto* right = new QVBoxLayout;
    right->addLayout(head);
    right->addWidget(stack, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(scroll);
    layout->addLayout(right, 1);

    connect(tabGroup, QOverload<int>::of(&QButtonGroup::buttonClicked), this, [this](int index) {
        changeWidget(index);
        if (index == kLogTab)
            emit recordshow();
        else if (index == kMemoTab)
            emit Memorandum();
        else if (index == kDeviceTab)
            emit DeviPara();
    });
    connect(exit, &QPushButton::clicked, this, &SystemSettingWidget::Exitsetup);
    connect(this, &SystemSettingWidget::Exitsetup, this, [this] {
        accept();
        emit left();
    });
    if (auto* window = qobject_cast<MainWindow*>(parent))
        connect(this, &SystemSettingWidget::left, window, &MainWindow::setcontentLayout);
    changeWidget(0);
}

SystemSettingWidget::~SystemSettingWidget() = default;

void SystemSettingWidget::buildTabs()
{
    auto* column = new QVBoxLayout(tabColumn);
    column->setSpacing(2);
    column->setContentsMargins(0, 0, 0, 0);
    for (const TabGroup& group : kGroups)
        addGroup(QLatin1String(group.icon), group.texts);
    column->addStretch(1);
}

void SystemSettingWidget::addGroup(const QString& icon, const QVector<int>& texts)
{
    for (int i = 0; i < texts.size(); ++i) {
        const QString text = LanStr(texts[i]);
        auto* button = new QPushButton(text, tabColumn);
        button->setCheckable(true);
        button->setFixedSize(kTabWidth, kTabHeight);
        button->setStyleSheet(kTabStyle);
        if (i == 0) {
            button->setIcon(QIcon(icon));
            button->setIconSize(QSize(kIconSize, kIconSize));
        }
        const int index = pages.size();
        tabGroup->addButton(button, index);
        tabColumn->layout()->addWidget(button);
        tabs << button;
        SettingsPage* page = makePage(index, text);
        pages << page;
        stack->addWidget(page);
    }
}

QPushButton* SystemSettingWidget::tabButton(int index) const
{
    return tabs.value(index);
}

int SystemSettingWidget::currentPage() const
{
    return stack->currentIndex();
}

QString SystemSettingWidget::title() const
{
    return titleLabel->text();
}

void SystemSettingWidget::changeWidget(int index)
{
    if (index < 0 || index >= pages.size())
        return;
    stack->setCurrentIndex(index);
    tabs[index]->setChecked(true);
    titleLabel->setText(tabs[index]->text());
}

void SystemSettingWidget::setConfirmPorts(std::unique_ptr<ConfirmPorts> p)
{
    ports = std::move(p);
}

void SystemSettingWidget::WizardParaInit()
{
    outSet = 0;
    for (int index : SettingsPages())
        pages[index]->WizardParaInit();
    DoChangePage();
}

void SystemSettingWidget::accept()
{
    ConfirmSettings(*ports, *gpWPara, *gpWParaBak);
}

void SystemSettingWidget::showEvent(QShowEvent* event)
{
    WizardParaInit();
    if (auto* window = qobject_cast<MainWindow*>(parentWidget()))
        window->MShowHide(0);
    BWidget::showEvent(event);
}

void SystemSettingWidget::ResetTotal() { actions->ResetTotal(); }
void SystemSettingWidget::ChangePwd(const QString& first, const QString& second)
{
    actions->ChangePwd(first, second, *gpWParaBak);
}
void SystemSettingWidget::SlotShutDown() { actions->SlotShutDown(); }
void SystemSettingWidget::SlotExportData() { actions->SlotExportData(numCamera, gDNum); }
void SystemSettingWidget::SlotUpdateApp() { actions->SlotUpdateApp(); }
void SystemSettingWidget::SlotRestoreFactorySet() { actions->SlotRestoreFactorySet(); }
void SystemSettingWidget::SlotModifyTime() { actions->SlotModifyTime(); }
void SystemSettingWidget::SlotCalibration() { actions->SlotCalibration(); }
void SystemSettingWidget::SlotExit() { actions->SlotExit(); }
void SystemSettingWidget::SlotChangeLan(int lan) { actions->SlotChangeLan(lan); }
void SystemSettingWidget::SlotClearRecord() { actions->SlotClearRecord(); }

SettingsPage* SystemSettingWidget::makePage(int index, const QString& title)
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
    default:
        // Pages built by later work plug in here; until then they say so.
        return new PendingPage(title, stack);
    }
}

void SystemSettingWidget::connectPages()
{
    auto* window = qobject_cast<MainWindow*>(parentWidget());
    SystemFunctionsWidget* f = systemFunctions;
    connect(f, &SystemFunctionsWidget::languageChosen, this, &SystemSettingWidget::SlotChangeLan);
    connect(f->resetCount, &QPushButton::clicked, this, &SystemSettingWidget::ResetTotal);
    connect(f->shutDown, &QPushButton::clicked, this, &SystemSettingWidget::SlotShutDown);
    connect(f->changePassword, &QPushButton::clicked, this,
            [this, f] { ChangePwd(f->newPassword->text(), f->confirmPassword->text()); });

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

void SystemSettingWidget::setGroupPorts(std::unique_ptr<GroupPorts> p)
{
    groupPorts = std::move(p);
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
    ParamGroups groups(*groupPorts, *gpWPara, *gpWParaBak);
    if (!groups.Backup(name, gDNum))
        return;
    if (!known)
        ParaGroupUpdateList();
    list->setCurrentIndex(gpWPara->paramGroup);
}

void SystemSettingWidget::SlotParaGroupRestore()
{
    ComboBox* list = advancedParams->groupList;
    ParamGroups groups(*groupPorts, *gpWPara, *gpWParaBak);
    groups.Restore(list->currentText(), list->currentIndex(), gDNum);
}

void SystemSettingWidget::SlotParaGroupDelete()
{
    ComboBox* list = advancedParams->groupList;
    ParamGroups groups(*groupPorts, *gpWPara, *gpWParaBak);
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
    if (!groupPorts->ask(LanStr(527)))
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
