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
#include "settings/iopages.h"
#include "settings/iowidget.h"
#include "settings/logpages.h"
#include "settings/netcheck.h"
#include "settings/netstaging.h"
#include "settings/pagerules.h"
#include "settings/networkpages.h"
#include "settings/networkparamswidget.h"
#include "settings/settingsdialogs.h"
#include "settings/settingspage.h"
#include "screen/operationrecord.h"
#include "screen/runcontroller.h"
#include "widgets/bmessagebox.h"
#include "widgets/modifytimewidget.h"
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

constexpr int kMultiDetect = 4;

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
    // The side the run controller inspects: a two-colour or turntable type
    // put in force here takes its side at once.
    int* sideFlag() override
    {
        return window && window->runController() ? &window->runController()->state().side : &side;
    }

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
    QDateTime askDateTime() override
    {
        ModifyTimeWidget* dialog = hub->timeDialog();
        dialog->editor->ShowDateTime();
        return dialog->exec() == QDialog::Accepted ? dialog->editor->chosen() : QDateTime();
    }
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
        if (gpNumCharPad)
            gpNumCharPad->HideUpdate();
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

}  // namespace

int outSet = 0;

const QVector<int>& SystemSettingWidget::SettingsPages()
{
    static const QVector<int> order{0, 1, 2, 3, 4, 5, 6, 9, 10, 11, 12};
    return order;
}

SystemSettingWidget::SystemSettingWidget(QWidget* parent)
    : BWidget(parent)
    , tabGroup(new QButtonGroup(this))
    , tabColumn(new QWidget)
    , titleLabel(new QLabel(this))
    , exit(new QPushButton(LanStr(590), this))
    , stack(new QStackedWidget(this))
    , ports(std::make_unique<WindowPorts>(this, qobject_cast<MainWindow*>(parent)))
    , actionPorts(std::make_unique<WindowActionPorts>(this, qobject_cast<MainWindow*>(parent)))
    , actions(std::make_unique<Maintenance>(*actionPorts))
{
    setStyleSheet(QStringLiteral("SystemSettingWidget{background-color:#ffffff;}"));
    buildTabs();
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
    connect(this, &SystemSettingWidget::recordshow, static_cast<SystemLogWidget*>(pages[kLogTab]),
            &SystemLogWidget::showDays);
    connect(this, &SystemSettingWidget::Memorandum, static_cast<OtherNetworksWidget*>(pages[kOtherNetworksTab]),
            &OtherNetworksWidget::SlotGetRemindList);
    connect(this, &SystemSettingWidget::DeviPara, static_cast<DeviceParamsWidget*>(pages[kDeviceTab]),
            &DeviceParamsWidget::SlotGetProductName);
    connectIoPages();
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
        SettingsPage* page = makePage(index);
        pages << page;
        stack->addWidget(page);
    }
}

ModifyTimeWidget* SystemSettingWidget::timeDialog()
{
    if (!clockDialog)
        clockDialog = new ModifyTimeWidget(LanStr(401), this);
    return clockDialog;
}

void SystemSettingWidget::connectIoPages()
{
    auto* params = static_cast<IOParamsWidget*>(pages[kIoParamsTab]);
    connect(params->machineTypes(), QOverload<int>::of(&QButtonGroup::buttonClicked), this,
            &SystemSettingWidget::SlotChangeSysFun);
    connect(params->customIoButton(), &QPushButton::clicked, this, &SystemSettingWidget::SlotShowIOWidget);
    connect(params->ioNameButton(), &QPushButton::clicked, this, &SystemSettingWidget::SlotShowCustomIONameWidget);
    ioAssign = new IOWidget(this);
    connect(ioAssign, &IOWidget::stored, this, [this](int detections) {
        if (gpWPara && gpWParaBak && gpWPara->machineType == kMultiDetect
            && gpWParaBak->pendingMachineType == kMultiDetect)
            emit reDetectCaption(ReDetectCaption(kMultiDetect, detections));
        changeWidget(kIoParamsTab);
    });
}

void SystemSettingWidget::SlotChangeSysFun(int id)
{
    static_cast<IOParamsWidget*>(pages[kIoParamsTab])->applyMachineType(id);
}

void SystemSettingWidget::SlotShowIOWidget()
{
    ioAssign->show();
    ioAssign->raise();
}

// A window of the main window takes the settings screen's place; it shows
// the settings screen again when it is done.
void SystemSettingWidget::showInstead(QWidget* MainWindow::*member)
{
    auto* window = qobject_cast<MainWindow*>(parentWidget());
    QWidget* other = window ? window->*member : nullptr;
    if (!other)
        return;
    hide();
    other->show();
    other->raise();
}

void SystemSettingWidget::SlotShowCustomIONameWidget()
{
    showInstead(&MainWindow::ioNames);
}

void SystemSettingWidget::SlotShowHardwareConfigurationWidget()
{
    showInstead(&MainWindow::hardwareSheet);
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

void SystemSettingWidget::SlotCheckPing()
{
    NetCheck::Run(checkText, gpNet && gpNet->isClientConnected, [this](const QString& text) {
        emit checkResult(text);
        repaint();
        QCoreApplication::processEvents();
    });
}
