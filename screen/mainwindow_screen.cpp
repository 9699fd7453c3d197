#include "screen/mainwindow.h"

#include "camera/cameraunit.h"
#include "core/database.h"
#include "inspection/picturequeue.h"
#include "inspection/savefailimagethread.h"
#include "screen/controlportio.h"
#include "screen/operationrecord.h"
#include "screen/qtrunclock.h"
#include "screen/runcontroller.h"
#include "screen/runnet.h"
#include "screen/cammerwidget.h"
#include "screen/imagecontainer.h"
#include "screen/indexbutton.h"
#include "screen/iostatuswidget.h"
#include "screen/titlebar.h"
#include "screen/windowrunscreen.h"
#include "widgets/bmessagebox.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QSqlQuery>
#include <QStackedLayout>
#include <QThread>
#include <QVBoxLayout>
#include <QtDebug>

namespace {
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr int kSideMargin = 10;
}  // namespace

// The bars, the two stacks and the frameless full-screen layout.
void MainWindow::buildLayout()
{
    titleBar = new TitleBar(this);
    ioStatus->setTitleBar(titleBar);
    regiOption = new RegiOption(this);
    alarmOption = new AlarmOption(this);

    sideStack = new QStackedLayout;
    sideStack->setContentsMargins(0, 0, 0, 0);
    sideStack->addWidget(optionBar);
    sideStack->addWidget(regiOption);
    sideStack->addWidget(alarmOption);
    contentStack = new QStackedLayout;
    contentStack->setContentsMargins(0, 0, 0, 0);
    contentStack->addWidget(imageContainer);
    contentStack->addWidget(settingsWidget);

    auto* sideColumn = new QHBoxLayout;
    sideColumn->setSpacing(0);
    sideColumn->setContentsMargins(kSideMargin, kSideMargin, kSideMargin, kSideMargin);
    sideColumn->addLayout(sideStack, 0);
    auto* body = new QHBoxLayout;
    body->setSpacing(0);
    body->setContentsMargins(0, 0, 0, 0);
    body->addLayout(contentStack, 1);
    body->addLayout(sideColumn, 0);
    auto* screen = new QVBoxLayout(this);
    screen->setSpacing(0);
    screen->setContentsMargins(0, 0, 0, 0);
    screen->addWidget(titleBar);
    screen->addLayout(body);

    setWindowFlags(Qt::FramelessWindowHint);
    setFixedSize(kScreenWidth, kScreenHeight);
    // The strip and the column lie over the camera views.
    ioStatus->raise();
    indexButton->raise();
}

void MainWindow::connectBars()
{
    connect(optionBar, &OptionBar::btnsToggled, this, &MainWindow::OptBtnsToggledSlot);
    connect(regiOption, &RegiOption::btnsToggled, this, &MainWindow::RegionBtnsToggledSlot);
    connect(regiOption, &RegiOption::ChangeDetect, this, &MainWindow::SlotChangeDetect);
    connect(regiOption, &RegiOption::ChangeCamera, this, &MainWindow::SlotChangeCamera);
    connect(alarmOption, &AlarmOption::btnsToggled, this, &MainWindow::AlarmtnsToggledSlot);
    connect(alarmOption, &AlarmOption::AlarmChangeSource, this, &MainWindow::SlotChangeSource);
    for (CammerWidget* view : views) {
        connect(view, &CammerWidget::previousTemplate, regiOption, &RegiOption::SlotTempLast);
        connect(view, &CammerWidget::nextTemplate, regiOption, &RegiOption::SlotTempNext);
    }
}

void MainWindow::StopCameras()
{
    for (CammerWidget* view : views) {
        if (view && view->camera) {
            view->camera->CameraStop();
            view->camera->CameraClose();
        }
    }
    if (gpPictureQueue)
        gpPictureQueue->drain();   // every picture asked for is with the writer
    if (gpSaveFialImageThread)
        gpSaveFialImageThread->Stop();
}

void MainWindow::setcontentLayout()
{
    contentStack->setCurrentIndex(0);
}

void MainWindow::InsertRecord(const QString& text)
{
    if (record)
        record->InsertRecord(text);
    else
        qInfo().noquote() << "record:" << text;
}

void MainWindow::FLushAll()
{
    paramQuery.reset();
    snQuery.reset();
    CloseProgramDatabase(&paramDb);
    CloseProgramDatabase(&recordDb);
    CloseProgramDatabase(&snDb);
    QThread::msleep(500);
}

void MainWindow::showNotice(const QString& title, const QString& text)
{
    auto* box = new WarnBox(title);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setText(text);
    box->show();
}

ViewReadings MainWindow::viewReadings() const
{
    ViewReadings r;
    if (controller) {
        const RunControlState& st = controller->state();
        r.runState = st.runState;
        r.displayState = st.displayState;
        r.countdownPhase = st.countdownPhase;
        r.curDetect = st.curDetect;
        for (int d = 0; d < gDNum && d < kMaxDetects; ++d) {
            if (controller->countdownActive(d)) {
                r.countdown = st.countdown[d];
                break;
            }
        }
    }
    r.editDetect = editDetect;
    r.selectedView = selectedView;
    r.drawTool = tools.drawTool;
    r.zoomTool = zoomTool;
    r.imageScaleX = imageScaleX;
    r.imageScaleY = imageScaleY;
    r.displayScaleX = displayScaleX;
    r.displayScaleY = displayScaleY;
    r.zoomOffset = zoomOffset;
    r.zoomFactor = zoomFactor;
    r.cursorImagePos = cursorImagePos;
    r.cursorValue = cursorValue;
    return r;
}

int MainWindow::frameRate(int camera) const
{
    return camera >= 0 && camera < kMaxCameras ? frameRates[camera] : 0;
}

const BrowsedPicture* MainWindow::browsedPicture() const
{
    return regiOption ? &regiOption->browsed : nullptr;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    return BWidget::eventFilter(watched, event);
}
