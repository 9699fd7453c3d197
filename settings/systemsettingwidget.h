#pragma once
// The settings screen: page 1 of the main window's content stack. A column
// of tab buttons in seven groups on the left, the title of the pressed tab,
// the exit button and the fifteen pages. Showing it reloads every settings
// page from the editing copy; the exit button confirms the edits and
// returns to the camera views.

#include "settings/maintenance.h"
#include "settings/pagerules.h"
#include "settings/settingsconfirm.h"
#include "widgets/bwidget.h"

#include <QVector>
#include <functional>
#include <memory>

class IOWidget;
class MainWindow;
class QButtonGroup;
class QLabel;
class QPushButton;
class QStackedWidget;
class ModifyTimeWidget;
class SettingsPage;
class AdvanceFuncWidget;
class AdvanceparamWidget;
class CameraFunctionsWidget;
class CameraParamsSubWidget;
class CameraParamsWidget;
class ParamGroups;
class SystemFunctionsWidget;
class SystemParamsWidget;

// The camera position the camera pages adjust (0 to 3); every reload sets it to 0.
extern int outSet;

class SystemSettingWidget : public BWidget
{
    Q_OBJECT
public:
    static constexpr int kPageCount = 15;
    // Stack indexes of the pages that the hub reaches by name.
    static constexpr int kDeviceTab = 2;
    static constexpr int kNetworkTab = 5;
    static constexpr int kOtherNetworksTab = 6;
    static constexpr int kLogTab = 7;
    static constexpr int kMemoTab = 8;
    static constexpr int kIoParamsTab = 9;
    static constexpr int kIoFunctionsTab = 10;
    static constexpr int kAboutTab = 13;
    static constexpr int kHelpTab = 14;
    // Stack indexes of the pages that load and store settings, in the order
    // of both calls.
    static const QVector<int>& SettingsPages();

    explicit SystemSettingWidget(QWidget* parent = nullptr);
    ~SystemSettingWidget() override;

    void WizardParaInit();
    void changeWidget(int index);
    void DoChangePage() {}
    // Replaces what the confirmation reaches outside the records (tests).
    void setConfirmPorts(std::unique_ptr<ConfirmPorts> ports);

    SettingsPage* page(int index) const { return pages.value(index); }
    // The IO assignment of the multi-detection machine.
    IOWidget* ioWidget() const { return ioAssign; }
    QPushButton* tabButton(int index) const;
    QPushButton* exitButton() const { return exit; }
    // The clock dialog, titled "Modify Time", built on first use.
    ModifyTimeWidget* timeDialog();
    int currentPage() const;
    QString title() const;

    // The camera selector with the exposure and gain sliders, which can be
    // detached into a window of its own.
    CameraParamsSubWidget* cameraPanel = nullptr;

    SystemParamsWidget* systemParams = nullptr;
    SystemFunctionsWidget* systemFunctions = nullptr;
    CameraParamsWidget* cameraParams = nullptr;
    CameraFunctionsWidget* cameraFunctions = nullptr;
    AdvanceparamWidget* advancedParams = nullptr;
    AdvanceFuncWidget* advancedFunctions = nullptr;

    // The factory-parameter switch of the advanced functions page, as ticked
    // on screen now (the factory controls of other pages follow it).
    bool factoryParamsTicked() const;
    // Applies one image setting of the editing copy to the camera of a view
    // (tests replace it).
    std::function<void(int view, ImageSetting)> applyImage;
    // Replaces what the maintenance actions and the parameter groups reach (tests).
    void setActionPorts(std::unique_ptr<MaintenancePorts> ports);

public slots:
    // Leaving: the pages store their controls and the edits are confirmed.
    void accept();

    // Maintenance actions (the pages' buttons connect to these).
    void ResetTotal();
    void ChangePwd(const QString& first, const QString& second);
    void SlotShutDown();
    void SlotExportData();
    void SlotUpdateApp();
    void SlotRestoreFactorySet();
    void SlotModifyTime();
    void SlotCalibration();
    void SlotExit();
    void SlotChangeLan(int lan);
    void SlotClearRecord();
    // The network test of the network parameters page: its result line
    // comes with checkResult (the previous result and "*" while it runs).
    void SlotCheckPing();

    // Parameter groups.
    void ParaGroupUpdateList();
    void SlotParaGroupChange(int index);
    void SlotParaGroupBackup();
    void SlotParaGroupRestore();
    void SlotParaGroupDelete();

    // Live camera adjustment of camera outSet (the editing copy, then the camera).
    void SetExposeTime(int v);
    void SetAdjust(int v);
    void SetSharp(int v);
    void SetContrast(int v);
    void SetGamma(int v);
    void SetAutoWDR(int e);
    void SetAutoExp(int e);
    void SlotChangeCamera();
    void SlotRestoreDefaultSettings();
    void SlotTuneCamera();

    // The IO pages' buttons: the IO assignment, the IO names, the hardware
    // sheet; the machine-type choice shows the controls of the type.
    void SlotShowIOWidget();
    void SlotShowCustomIONameWidget();
    void SlotShowHardwareConfigurationWidget();
    void SlotChangeSysFun(int id);

signals:
    void Exitsetup();
    void recordshow();
    void Memorandum();
    void DeviPara();
    void checkResult(const QString& text);
    // The exit button was handled: the camera views come back.
    void left();
    // The IO assignment was stored with the multi-detection type in force
    // and pending: the caption of the re-check row.
    void reDetectCaption(const QString& caption);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildTabs();
    void addGroup(const QString& icon, const QVector<int>& texts);
    SettingsPage* makePage(int index);
    void connectPages();
    void setImage(ImageSetting s, int v);
    void applyAllExposures();
    void connectIoPages();
    void showInstead(QWidget* MainWindow::*member);

    QVector<SettingsPage*> pages;
    QVector<QPushButton*> tabs;
    QButtonGroup* tabGroup = nullptr;
    QWidget* tabColumn = nullptr;
    QLabel* titleLabel = nullptr;
    QPushButton* exit = nullptr;
    QStackedWidget* stack = nullptr;
    ModifyTimeWidget* clockDialog = nullptr;
    IOWidget* ioAssign = nullptr;
    std::unique_ptr<ConfirmPorts> ports;
    std::unique_ptr<MaintenancePorts> actionPorts;
    std::unique_ptr<Maintenance> actions;
    QString checkText;   // the last result of the network test
    int contentBeforePanel = 0;   // the main window's content page before the panel was detached
};
