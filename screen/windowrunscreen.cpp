#include "screen/windowrunscreen.h"

#include "camera/cameraglobals.h"
#include "camera/cameraloss.h"
#include "core/led.h"
#include "core/wizardpara.h"
#include "screen/cammerwidget.h"
#include "screen/drawroiwidget.h"
#include "screen/indexbutton.h"
#include "screen/iostatuswidget.h"
#include "screen/mainwindow.h"
#include "screen/runcontroller.h"
#include "screen/servedwork.h"
#include "screen/titlebar.h"
#include "widgets/bmessagebox.h"
#include "widgets/passwordbox.h"

#include <QStackedLayout>
#include <QTimer>

bool WindowRunScreen::cameraLost() const
{
    return gisLost != 0;
}

void WindowRunScreen::CameraRestart()
{
    ::CameraRestart();
}

// All views, the camera page, no button column, and the alarm bar (where
// the region editor's Reset(false) takes over).
void WindowRunScreen::ShowAlarm()
{
    window.selectedView = numCamera;
    window.contentStack->setCurrentIndex(0);
    window.ChangeCammer();
    window.indexButton->hide();
    window.sideStack->setCurrentIndex(kAlarmBarPage);
    window.editor->Reset(false);
}

// The region editor's Restart; the option bar comes back.
void WindowRunScreen::EndAlarm()
{
    window.editor->Restart();
    gSource = -1;
    window.sideStack->setCurrentIndex(kOptionBarPage);
}

// The region editor's re-check ends in the controller's re-check of the step.
void WindowRunScreen::AlarmReCheck()
{
    window.editor->SlotReCheck();
}

void WindowRunScreen::HideSettings()
{
    window.contentStack->setCurrentIndex(0);
}

// Without password use every command is allowed at factory level; a level
// already granted stands; otherwise the operator is asked.
int WindowRunScreen::CheckPassword()
{
    return window.CheckPassword();
}

// The button column goes; the region editor opens (its Reset(false)).
void WindowRunScreen::EnterAreaCheck()
{
    window.indexButton->hide();
    window.sideStack->setCurrentIndex(kEditorBarPage);
    window.editor->Reset(false);
}

// The region editor deletes every template (SlotTempDeleteAll).
void WindowRunScreen::DeleteAllTemplates()
{
    window.editor->SlotTempDeleteAll();
}

void WindowRunScreen::SaveSerials()
{
    SaveSN(0);
}

// The views are the window's camera views: judged in parallel, on threads
// other than the GUI thread, which meanwhile serves its events except user
// input and sockets (the views paint what they showed before the judgement;
// the run controller's passes end at once and its timers' work waits).
bool WindowRunScreen::InspectAll(const QVector<RunView*>& views, int step)
{
    QVector<CammerWidget*> widgets;
    for (RunView* view : views) {
        auto* widget = dynamic_cast<CammerWidget*>(view);
        if (!widget)
            return false;
        widgets.append(widget);
    }
    for (CammerWidget* widget : widgets)
        widget->setJudging(true);
    RunServingEvents([&] { CammerWidget::InspectAll(widgets, step); });
    for (CammerWidget* widget : widgets)
        widget->setJudging(false);
    return true;
}

void WindowRunScreen::CountdownTick()
{
    for (CammerWidget* view : window.views)
        if (view && view->isVisible())
            view->UpdateCountdown();
}

void WindowRunScreen::Repaint()
{
    for (CammerWidget* view : window.views)
        if (view && view->isVisible())
            view->Refresh();
}

void WindowRunScreen::PassEnded()
{
    window.ioStatus->refresh();
}

int WindowRunScreen::selectedView() const
{
    return window.selectedView;
}

void WindowRunScreen::SetLed(int n, int value)
{
    LEDOnOff(n, value);
}

void WindowRunScreen::WakeLcd()
{
    if (!window.lcdOff())
        return;
    LCDOnOff(1);
    if (gpWPara->screenOffTime > 0)
        window.lcdTimer->start(gpWPara->screenOffTime * 1000);
}

void WindowRunScreen::ShowWarning(const QString& text)
{
    showWarnBox(text);
}

void WindowRunScreen::HideWarning()
{
    gpWarnBox->hide();
}
