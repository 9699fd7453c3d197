#pragma once
// The settings screen: page 1 of the main window's content stack. A column
// of tab buttons in seven groups on the left, the title of the pressed tab,
// the exit button and the fifteen pages. Showing it reloads every settings
// page from the editing copy; the exit button confirms the edits and
// returns to the camera views.

#include "settings/maintenance.h"
#include "settings/settingsconfirm.h"
#include "widgets/bwidget.h"

#include <QVector>
#include <memory>

class IOWidget;
class MainWindow;
class QButtonGroup;
class QLabel;
class QPushButton;
class QStackedWidget;
class SettingsPage;

// The camera position the camera pages adjust (0 to 3); every reload sets it to 0.
extern int outSet;

class SystemSettingWidget : public BWidget
{
    Q_OBJECT
public:
    static constexpr int kPageCount = 15;
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
    int currentPage() const;
    QString title() const;

    // The camera selector with the exposure and gain sliders, which can be
    // detached into a window of its own.
    QWidget* cameraPanel = nullptr;

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
    SettingsPage* makePage(int index, const QString& title);
    void connectIoPages();
    void showInstead(QWidget* MainWindow::*member);

    QVector<SettingsPage*> pages;
    QVector<QPushButton*> tabs;
    QButtonGroup* tabGroup = nullptr;
    QWidget* tabColumn = nullptr;
    QLabel* titleLabel = nullptr;
    QPushButton* exit = nullptr;
    QStackedWidget* stack = nullptr;
    IOWidget* ioAssign = nullptr;
    std::unique_ptr<ConfirmPorts> ports;
    std::unique_ptr<MaintenancePorts> actionPorts;
    std::unique_ptr<Maintenance> actions;
};
