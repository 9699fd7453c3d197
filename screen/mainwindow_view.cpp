// Layout of the camera views, zoom and pan of the selected view, the idle
// timers, the polling pass and the once-a-second frame watch.

#include "screen/mainwindow.h"

#include "camera/cameraloss.h"
#include "core/controlport.h"
#include "core/led.h"
#include "core/wizardpara.h"
#include "screen/cammerwidget.h"
#include "screen/iostatuswidget.h"
#include "screen/regioption.h"
#include "screen/runcontroller.h"
#include "screen/viewgrid.h"

#include <QPushButton>
#include <QTimer>

namespace {
constexpr int kZoomIdleMs = 30000;
constexpr double kZoomStep = 1.2;
constexpr double kZoomMax = 32;
constexpr double kZoomSnap = 1.1;     // zooming out below this returns to 1
constexpr int kSilentSeconds = 5;     // a camera silent longer than this is checked
constexpr int kHeartbeatLed = 5;
}  // namespace

void MainWindow::ChangeCammer()
{
    zoomOffset = QPointF(0, 0);
    zoomFactor = 1;
    const int w = gShowW, h = gShowH;
    if (numCamera == 1) {
        selectedView = 0;
        views[0]->setGeometry(0, 0, w, h);
        views[0]->show();
        MShowHide(1);
        return;
    }
    QSize cell(w, h);
    if (selectedView >= numCamera || selectedView < 0) {
        const ViewGrid grid = CameraGrid(numCamera, w, h);
        for (int i = 0; i < grid.cells.size(); ++i) {
            views[i]->setGeometry(grid.cells[i]);
            views[i]->show();
        }
        for (int i = grid.cells.size(); i < kMaxCameras; ++i)
            views[i]->hide();
        MShowHide(4);
        MShowHide(0);
        if (grid.cells.isEmpty())
            return;
        cell = grid.cellSize;
    } else {
        for (int i = 0; i < kMaxCameras; ++i)
            if (i != selectedView)
                views[i]->hide();
        views[selectedView]->setGeometry(0, 0, w, h);
        views[selectedView]->show();
        MShowHide(3);
        MShowHide(1);
    }
    imageScaleX = float(cell.width()) / float(gImageW);
    imageScaleY = float(cell.height()) / float(gImageH);
    displayScaleX = float(cell.width()) / float(gShowW);
    displayScaleY = float(cell.height()) / float(gShowH);
}

void MainWindow::MShowHide(int type)
{
    // The zoom controls live in the selected view; with all views shown there
    // is no single view to hold them (and with eight cameras no view of that
    // number), so they stay where they are.
    if (selectedView >= 0 && selectedView < kMaxCameras) {
        CammerWidget* view = views[selectedView];
        zoomOutButton->setParent(view);
        optionBar->pad->setParent(view);
        zoomInButton->setParent(view);
    }
    switch (type) {
    case 0:
        zoomTool = 0;
        zoomInButton->hide();
        optionBar->pad->hide();
        zoomOutButton->hide();
        break;
    case 1:
        zoomTool = 1;
        zoomInButton->show();
        optionBar->pad->hide();
        zoomOutButton->hide();
        break;
    case 2:
        zoomTool = 2;
        optionBar->pad->show();
        zoomOutButton->show();
        zoomInButton->show();
        break;
    case 3:
        if (selectedView >= 0 && selectedView < kMaxCameras)
            views[selectedView]->ShowHideTool(1);
        break;
    case 4:
        for (int i = 0; i < selectedView && i < kMaxCameras; ++i)
            views[i]->ShowHideTool(0);
        break;
    default:
        break;
    }
}

void MainWindow::MHideAll()
{
    if (zoomTool == 2)
        MShowHide(1);
}

void MainWindow::repaintSelectedView()
{
    if (selectedView >= 0 && selectedView < kMaxCameras)
        views[selectedView]->update();
}

void MainWindow::MScale(int delta)
{
    if (delta == 0) {
        zoomOffset = QPointF(0, 0);
        zoomFactor = 1;
        repaintSelectedView();
        return;
    }
    const double f = zoomFactor;
    double g = delta < 0 ? f / kZoomStep : std::min(f * kZoomStep, kZoomMax);
    if (delta < 0 && g < kZoomSnap)
        g = 1;
    zoomFactor = g;
    const float cx = cursorImagePos.x(), cy = cursorImagePos.y();
    const float qx = (cx - float(zoomOffset.x())) / float(f);
    const float qy = (cy - float(zoomOffset.y())) / float(f);
    zoomOffset = QPointF(cx - qx * g, cy - qy * g);
    if (g == 1)
        zoomOffset = QPointF(0, 0);
    repaintSelectedView();
}

void MainWindow::MEnlargeScale()
{
    zoomIdleTimer->start(kZoomIdleMs);
    if (zoomTool == 1)
        MShowHide(2);
    else if (zoomTool == 2)
        MScale(1);
}

void MainWindow::MReductionScale()
{
    zoomIdleTimer->start(kZoomIdleMs);
    MScale(-1);
}

void MainWindow::MRecovery()
{
    zoomIdleTimer->start(kZoomIdleMs);
    MScale(0);
}

void MainWindow::MTimerScale()
{
    zoomIdleTimer->stop();
    MHideAll();
}

void MainWindow::SlotMove(int dx, int dy)
{
    if (zoomFactor <= 1)
        return;
    zoomOffset += QPointF(dx * zoomFactor, dy * zoomFactor);
    repaintSelectedView();
}

void MainWindow::SlotMoveT()
{
    zoomIdleTimer->start(kZoomIdleMs);
    SlotMove(0, -1);
}

void MainWindow::SlotMoveB()
{
    zoomIdleTimer->start(kZoomIdleMs);
    SlotMove(0, 1);
}

void MainWindow::SlotMoveL()
{
    zoomIdleTimer->start(kZoomIdleMs);
    SlotMove(-1, 0);
}

void MainWindow::SlotMoveR()
{
    zoomIdleTimer->start(kZoomIdleMs);
    SlotMove(1, 0);
}

void MainWindow::TimerLogout()
{
    logoutTimer_->stop();
    userLevel_ = UserNone;
}

void MainWindow::TimerLCD()
{
    lcdTimer->stop();
    LCDOnOff(0);
}

void MainWindow::SlotFPS()
{
    static int heartbeat = 0;
    const RunControlState& st = controller->state();
    heartbeat = st.runState == RunState::Stopped ? 1 : 1 - heartbeat;
    LEDOnOff(kHeartbeatLed, heartbeat);
    for (int c = 0; c < numCamera && c < kMaxCameras; ++c) {
        if (!gpWPara->externalTrigger) {
            if (st.frameCount[c] == lastFrameCount[c]) {
                if (++noFrameSeconds[c] > kSilentSeconds) {
                    CameraCheck(c);
                    noFrameSeconds[c] = 0;
                }
            } else {
                noFrameSeconds[c] = 0;
            }
        }
        frameRates[c] = st.frameCount[c] - lastFrameCount[c];
        lastFrameCount[c] = st.frameCount[c];
    }
}

void MainWindow::SelectTouchedView(int camera)
{
    selectedView = camera;
    ChangeCammer();
    if (controller && controller->state().displayState == DisplayState::Alarm && gSource == kLive)
        alarmOption->SetCamera(selectedView);
    views[camera]->ShowHideTool(0);
}

void MainWindow::SetCursorReading(const QPoint& imagePos, int value)
{
    cursorImagePos = imagePos;
    if (imagePos.x() >= 0 && imagePos.y() >= 0 && imagePos.x() < gImageW && imagePos.y() < gImageH)
        cursorValue = value;
}

void MainWindow::PanSelectedView(const QPointF& delta)
{
    zoomOffset += delta;
    repaintSelectedView();
}
