// The commands of the side bars and the button column: start and stop of
// detection, re-sampling, the region editor, the account page, the manual
// snapshots, and the access checks that gate them.

#include "screen/mainwindow.h"

#include "core/texttable.h"
#include "core/wizardpara.h"
#include "inspection/autoregion.h"
#include "inspection/cameraworkset.h"
#include "network/network.h"
#include "screen/cammerwidget.h"
#include "screen/controlportio.h"
#include "screen/drawroiwidget.h"
#include "screen/indexbutton.h"
#include "screen/iostatuswidget.h"
#include "screen/runcontroller.h"
#include "screen/statisticshooks.h"
#include "screen/titlebar.h"
#include "widgets/bmessagebox.h"
#include "widgets/passwordbox.h"

#include <QStackedLayout>

namespace {
const QString kTitleRunning = QStringLiteral("TitleBar{background-color:#1f3f8d;}");
const QString kTitleStopped = QStringLiteral("TitleBar{background-color:#ee2329;}");
constexpr int kTextOfferAutoRegion = 354;   // "Need to generate an area \r\n automatically?"
}  // namespace

bool MainWindow::modalOpen() const
{
    return settingsWidget->isVisible() || alarmOption->isVisible() || regiOption->isVisible();
}

bool MainWindow::dialogsOrAlarm() const
{
    return modalOpen() || (changeCamera && changeCamera->isVisible()) || (ioNames && ioNames->isVisible())
        || controller->state().displayState == DisplayState::Alarm;
}

bool MainWindow::safeDoorOpened() const
{
    return runIO && runIO->safeDoorOpen();
}

// The level a command may run at: every command at factory level without
// password protection, the level granted so far, or the operator is asked
// in a password box of this call's own.
int MainWindow::CheckPassword()
{
    if (!gpWPara->isPswUsed)
        return UserFactory;
    if (userLevel_ != UserNone)
        return userLevel_;
    if (passwordAnswer)
        return passwordAnswer();
    PasswordBox box(LanStr(569));
    box.exec();
    return userLevel_;
}

bool MainWindow::CheckRoot()
{
    if (userLevel_ == UserFactory)
        return true;
    if (passwordAnswer)
        passwordAnswer();
    else
        gpPasswordBox->exec();
    return userLevel_ == UserFactory;
}

void MainWindow::OptBtnsToggledSlot(OptionBar::BTN_TYPE type, bool)
{
    if (type == OptionBar::SystemSettings) {
        if (userLevel_ == UserFactory)
            userLevel_ = gpWPara->isPswUsed ? UserOperator : UserNone;
        if (gpWParaBak)
            *gpWParaBak = *gpWPara;
        if (gpNet)
            gpNet->netCardEdit = gpNet->netCard;
        const auto& accountRight = statisticsHooks().canChangeSettings;
        if (CheckPassword() == UserNone || (accountRight && !accountRight()))
            optionBar->SetTLast();
        else if (controller->state().displayState != DisplayState::Alarm)
            contentStack->setCurrentIndex(1);
        return;
    }
    settingsWidget->hide();
    contentStack->setCurrentIndex(0);
    switch (type) {
    case OptionBar::MultiScreen:
        selectedView = numCamera;
        ChangeCammer();
        break;
    case OptionBar::StopDetection:
        SlotStartStop();
        break;
    case OptionBar::Resample:
        SlotReTrain();
        break;
    case OptionBar::AreaSettings:
        SlotAdjustArea();
        break;
    case OptionBar::MouldSnapshot:
        SlotManualTrig1();
        break;
    case OptionBar::Statistics:
        SlotShowStatisticsWidget();
        break;
    default:
        break;
    }
}

void MainWindow::SlotShowStatisticsWidget()
{
    if (!statisticsWidget && statisticsHooks().makeStatistics)
        statisticsWidget = statisticsHooks().makeStatistics(this);
    if (statisticsWidget) {
        statisticsWidget->show();
        statisticsWidget->raise();
    }
}

void MainWindow::showRunState(bool detecting)
{
    titleBar->setStyleSheet(detecting ? kTitleRunning : kTitleStopped);
    optionBar->ShowDetecting(detecting);
    update();
}

void MainWindow::SlotStartStop()
{
    if (modalOpen())
        return;
    RunController& rc = *controller;
    if (rc.state().runState == RunState::Stopped) {
        rc.StartByCommand();
        showRunState(true);
        if (gpNet)
            gpNet->ReportStartStop();
        return;
    }
    if (CheckPassword() == UserNone || !askOperator(LanStr(140)))
        return;
    if (settingsWidget->isVisible() || alarmOption->isVisible())
        return;
    rc.StopByCommand();
    showRunState(false);
    if (gpNet)
        gpNet->ReportStartStop();
}

void MainWindow::SlotReTrain()
{
    if (settingsWidget->isVisible() || (changeCamera && changeCamera->isVisible())
        || (ioNames && ioNames->isVisible()) || !optionBar->isVisible())
        return;
    if (CheckPassword() == UserNone || !askOperator(LanStr(137)))
        return;
    if (modalOpen() || controller->state().displayState == DisplayState::Alarm)
        return;
    const bool wasStopped = controller->state().runState == RunState::Stopped;
    controller->ReSample();
    if (wasStopped)
        showRunState(true);
    update();
}

// Opens the region editor on the template of the selected view.
void MainWindow::SlotAdjustArea()
{
    if (dialogsOrAlarm() || CheckPassword() == UserNone)
        return;
    sideStack->setCurrentIndex(kEditorBarPage);
    controller->state().displayState = DisplayState::Editing;
    indexButton->hide();
    ioStatus->hide();
    editor->Reset(false);
    if (selectedView < 0 || selectedView >= numCamera)
        return;
    CammerWidget* view = views[selectedView];
    view->ShowHideTool(3);
    offerAutoRegion(view);
}

// An empty step may get its first region from the difference of the
// product and mould templates.
void MainWindow::offerAutoRegion(CammerWidget* view)
{
    CameraWorkSet* work = view->work.get();
    if (!gpWPara->autoRegionOffered || !work || !work->editRecord || work->editRecord->roiNum[editDetect] != 0
        || !askOperator(LanStr(kTextOfferAutoRegion)))
        return;
    // The editor's own bar is shown by now; the settings screen or an alarm
    // that came meanwhile ends the offer.
    if (settingsWidget->isVisible() || alarmOption->isVisible()
        || controller->state().displayState != DisplayState::Editing)
        return;
    AutogenerationRegion(*work, editDetect, gpWPara->filterSize, gpWPara->alarmArea);
    tools.drawTool = 0;
    view->selectedRoi = -1;
    view->update();
}

void MainWindow::SlotAccount()
{
    if (dialogsOrAlarm() || CheckPassword() == UserNone)
        return;
    controller->state().displayState = DisplayState::Editing;
    indexButton->hide();
    ioStatus->hide();
}

void MainWindow::SlotShowAlarmImgae()
{
    if (dialogsOrAlarm())
        return;
    controller->state().displayState = DisplayState::Editing;
    indexButton->hide();
    ioStatus->hide();
    editor->Reset(false);
}

void MainWindow::SlotReturn()
{
    if (modalOpen())
        return;
    if (numCamera == 1) {
        selectedView = 0;
        zoomOffset = QPointF(0, 0);
        zoomFactor = 1;
        repaintSelectedView();
    } else {
        selectedView = numCamera;
        ChangeCammer();
    }
}

void MainWindow::SlotManualTrig0()
{
    controller->SlotManualTrig(0);
}

void MainWindow::SlotManualTrig1()
{
    controller->SlotManualTrig(1);
}

// The step chosen in the button column (none chosen: nothing).
void MainWindow::SlotMuliManualTrig()
{
    controller->SlotManualTrig(indexButton->CurChooseTrig());
}

void MainWindow::RegionBtnsToggledSlot(RegiOption::BTN_TYPE type, bool)
{
    switch (type) {
    case RegiOption::DeleteTemplate:
        editor->SlotTempDeleteCur();
        break;
    case RegiOption::AddTemplate:
        editor->SlotAddTemp();
        break;
    case RegiOption::EndSetting:
        // Closing the editor (its Restart) brings the button column and the IO strip back.
        editor->SlotReturn();
        sideStack->setCurrentIndex(controller->state().displayState == DisplayState::Alarm ? kAlarmBarPage
                                                                                           : kOptionBarPage);
        break;
    case RegiOption::LiveTemplate:
        editor->SlotAutoChange();
        break;
    }
}

void MainWindow::AlarmtnsToggledSlot(AlarmOption::BTN_TYPE type, bool)
{
    switch (type) {
    case AlarmOption::LiveTemplate:
        editor->SlotAutoChange();
        break;
    case AlarmOption::NoDetect:
        editor->SlotNoCheckCur();
        break;
    case AlarmOption::ReDetect:
        editor->SlotReCheck();
        break;
    case AlarmOption::AddTemplate:
        editor->SlotAddTemp();
        break;
    case AlarmOption::IgnorePoint:
        editor->SlotIgnoreAlarmPoint();
        break;
    case AlarmOption::DeleteIgnorePoints:
        editor->SlotDeleteIgnorePoint();
        break;
    }
}

void MainWindow::SlotChangeDetect(int step)
{
    regiOption->setDetect(step);
}

void MainWindow::SlotChangeCamera(int camera)
{
    regiOption->ChangeCameraSlot(camera);
}

void MainWindow::SlotChangeSource(int source)
{
    sideStack->setCurrentIndex(kEditorBarPage);
    regiOption->CheckSource(source);
}

bool MainWindow::askOperator(const QString& text)
{
    return showChooseBox(text);
}
