#include "screen/cammerwidget.h"

#include "camera/cameradetect.h"
#include "camera/cameraglobals.h"
#include "camera/cameraunit.h"
#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "inspection/cammerrecongnize.h"
#include "inspection/editedregions.h"
#include "inspection/picturequeue.h"
#include "inspection/resultimage.h"
#include "inspection/templatestore.h"
#include "network/network.h"
#include "screen/roioperation.h"
#include "screen/roiparapanel.h"
#include "screen/viewreadings.h"

#include <QImage>
#include <QMutexLocker>
#include <QPointer>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTimer>

#include <opencv2/core.hpp>

#include <cstring>

int gSource = -1;
QString gTempTime;

namespace {

constexpr int kBlinkMs = 1000;
constexpr int kArrowSize = 60;
const QPoint kPrevArrow(40, 400);
const QPoint kNextArrow(1600, 400);
const QPoint kToolBarPlace(950, 850);
const char* const kParamConnection = "dbIn";

QPushButton* arrowButton(const char* icon, const QPoint& place, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setFixedSize(kArrowSize, kArrowSize);
    button->setIcon(QIcon(QLatin1String(icon)));
    button->setIconSize(QSize(kArrowSize, kArrowSize));
    button->setAutoRepeat(true);
    button->move(place);
    return button;
}

int frameType()
{
    return gisColor ? CV_8UC4 : CV_8UC1;
}

}  // namespace

CammerWidget::CammerWidget(int index, QWidget* parent, ViewHost* host)
    : QWidget(parent)
    , cameraIndex(index)
    , work(std::make_unique<CameraWorkSet>())
    , host(host)
{
    work->cameraIndex = index;
    BindEditSet(work.get());
    buildWidgets();
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    hide();
    allocateDisplayBuffers();

    camera = std::make_unique<CameraUnit>(index, &imageIn);
    camera->CameraOpen();
    if (camera->cameraOpen())
        ++numCamera;
    // Positions the layout shows without a camera are built in full, so that
    // nothing ever meets a half-built view there.
    const bool cameraLessLayout = gCameraID == kCameraNone && index < kNoCameraCount;
    if (!camera->cameraOpen() && index > 0 && !cameraLessLayout)
        return;

    buildWorkingSet();
    TemplateStore::LoadTemplates(*work);
    LoadIgnorePoint();
    loadRecords();
    engine = std::make_unique<CammerRecong>(liveRecord.get(), work.get());   // trains every enabled step
    for (int d = 0; d < kMaxDetects; ++d)
        TemplateStore::ReleaseTemplates(*work, d);
    camera->CameraStart();
    blinkTimer = new QTimer(this);
    connect(blinkTimer, &QTimer::timeout, this, &CammerWidget::TimerShowAlarm);
    moveMode = 0;
    complete = true;
    videoShared = camera->cameraOpen() && gpNet && gpNet->isSetUp && gpWPara && gpWPara->netLinkOn
        && gpWPara->videoType == 2;
    if (videoShared)
        gpNet->CNT_AddUseMemory(index, gImageW, gImageH, [view = QPointer<CammerWidget>(this)] {
            return view ? &view->work->imageRgb32 : nullptr;
        });
}

CammerWidget::~CammerWidget() = default;

void CammerWidget::buildWidgets()
{
    camNumPixmap = QPixmap(QStringLiteral(":/img/icons/camNum%1.png").arg(cameraIndex + 1))
                       .scaledToWidth(48, Qt::SmoothTransformation);
    toolBar = new roiOperation(this);
    toolBar->move(kToolBarPlace);
    prevButton = arrowButton(":/img/icons/107.png", kPrevArrow, this);
    nextButton = arrowButton(":/img/icons/108.png", kNextArrow, this);
    connect(prevButton, &QPushButton::pressed, this, &CammerWidget::previousTemplate);
    connect(nextButton, &QPushButton::pressed, this, &CammerWidget::nextTemplate);
    panel = new RoiParaPanel(this);
    setStyleSheet(QStringLiteral(
        "QPushButton{border-style:none;background:transparent;}QPushButton:pressed{background-color:#FFC107;}"));
    ShowHideTool(0);
}

// What every view has: the incoming frame, the frame on show and its 32-bit
// picture.
void CammerWidget::allocateDisplayBuffers()
{
    imageIn.allocate(gImageW, gImageH, gisColor != 0);
    work->imageShow = cv::Mat::zeros(gImageH, gImageW, frameType());
    work->imageRgb32 = QImage();
    selectedRoi = -1;
    lastSelectedRoi = -1;
    brightness = 0;
}

void CammerWidget::buildWorkingSet()
{
    work->Allocate(gImageW, gImageH, gisColor != 0, gTempNum);
    dragHandle = -1;
    editState = 0;
    polyPoints.clear();
    pendingShape = polyActive = touchDown = false;
    work->cameraOk = true;
    blinkPhase = 0;
    ngRingShown = 0;
    std::fill(std::begin(ngRingPos), std::end(ngRingPos), 0);
}

void CammerWidget::LoadIgnorePoint()
{
    TemplateStore::LoadIgnorePoint(*work);
}

void CammerWidget::loadRecords()
{
    QSqlDatabase paramDb = QSqlDatabase::database(QLatin1String(kParamConnection));
    liveRecord = std::make_unique<CammerSingleton>(cameraIndex);
    liveRecord->LoadDatafromFile(paramDb, &work->liveMasks);
    editRecord = std::make_unique<CammerSingleton>(cameraIndex);
    work->liveRecord = liveRecord.get();
    work->editRecord = editRecord.get();
    // Never an empty edit: a save reached before the editor opened would
    // otherwise take it for "every region deleted".
    EditedRegions::OpenEdit(*work);
}

bool CammerWidget::cameraOpen() const
{
    return camera && camera->cameraOpen();
}

bool CammerWidget::liveShown() const
{
    return gSource == -1 || gSource == 1;
}

bool CammerWidget::TakeFrame()
{
    if (!complete)
        return false;
    cv::Mat& raw = work->imageRaw;
    // The frame on show may still share imageRaw's buffer, which the
    // camera's producer writes next.
    cv::Scalar mean;
    const bool taken = TakeNewestFrame(cameraIndex, imageIn, raw, [&] { work->frames.Detach(raw); }, &mean);
    if (!taken)
        return false;
    hadFrame = true;
    // In colour mode the luma of the mean colour, which is the mean luma.
    brightness = gisColor ? int(0.114 * mean[0] + 0.587 * mean[1] + 0.299 * mean[2]) : int(mean[0]);
    return true;
}

QString CammerWidget::frameFault() const
{
    const FrameRefusal r = LatestFrameRefusal(cameraIndex, imageIn);
    if (r.refused)
        return LanStr(593).arg(r.width).arg(r.height).arg(gImageW).arg(gImageH);
    return hadFrame ? QString() : LanStr(594);
}

// The frame goes on show at the view's next repaint (see requestPicture).
void CammerWidget::ShowLiveFrame()
{
    if (!complete || !liveShown())
        return;
    frameWaiting = true;
    requestPicture();
}

void CammerWidget::SetWB()
{
    camera->SetWB();
}

void CammerWidget::LoadTestPicture(const QString& file)
{
    QImage picture;
    if (!complete || !picture.load(file) || picture.width() != gImageW || picture.height() != gImageH)
        return;
    if (picture.format() != QImage::Format_Indexed8 || gisColor)
        picture = picture.convertToFormat(gisColor ? QImage::Format_RGB32 : QImage::Format_Grayscale8);
    cv::Mat& raw = work->imageRaw;
    work->frames.Detach(raw);
    const size_t row = size_t(gImageW) * raw.elemSize();
    for (int y = 0; y < gImageH; ++y)
        std::memcpy(raw.ptr(y), picture.constScanLine(y), row);
    hadFrame = true;
}

void CammerWidget::SaveOriginal(const QString& file)
{
    if (complete)
        TemplateStore::WriteFrame(file, work->imageRaw);
}

// Aligns the newest frame to the step's template position, shows it and
// judges the step (the engine sets the camera's and the regions' results).
void CammerWidget::Inspect(int step)
{
    if (!complete || step < 0 || step >= kMaxDetects)
        return;
    engine->ShapeMatch(step);
    showNewestFrame();
    engine->Run(step);
}

// The newest frame goes on show in a buffer of the view's own (copied).
void CammerWidget::showNewestFrame()
{
    work->frames.Detach(work->imageShow);
    work->imageRaw.copyTo(work->imageShow);
}

void CammerWidget::InspectAll(const QVector<CammerWidget*>& list, int step)
{
    if (step < 0 || step >= kMaxDetects)
        return;
    std::vector<CammerRecong*> engines;
    for (CammerWidget* view : list) {
        if (!view->complete)
            continue;
        view->showNewestFrame();
        engines.push_back(view->engine.get());
    }
    CammerRecong::InspectAll(engines, step);
}

QVector<FailedRegion> CammerWidget::FailedRegions(int step) const
{
    QVector<FailedRegion> failed;
    if (!complete || step < 0 || step >= kMaxDetects)
        return failed;
    const int regions = std::clamp(liveRecord->roiNum[step], 0, kMaxRegions);
    for (int r = 0; r < regions; ++r)
        if (!work->roiOk[step][r])
            failed << FailedRegion{r, liveRecord->outN[r]};
    return failed;
}

void CammerWidget::PushNgRing(int step)
{
    if (!complete || step < 0 || step >= gDNum || step >= kMaxDetects)
        return;
    work->imageWork.copyTo(ngRing[step][ngRingPos[step] % 3]);
    ++ngRingPos[step];
}

void CammerWidget::UpdateLive()
{
    if (liveShown())
        requestPicture();
}

void CammerWidget::SaveReTrainImage(int step)
{
    if (complete)
        TemplateStore::SaveReTrainImage(*work, step);
}

void CammerWidget::UpdateCountdown()
{
    const ViewReadings r = host->viewReadings();
    const bool small = gShowW < 1024;
    const QPoint at(int(r.displayScaleX * (small ? 270 : 520)), int(r.displayScaleY * 5));
    update(QRect(at, small ? QSize(40, 18) : QSize(130, 36)));
}

void CammerWidget::StartBlink()
{
    if (blinkTimer)
        blinkTimer->start(kBlinkMs);
}

// The pictures are drawn, captioned and handed to the writer on the picture
// queue, in the order the decision asks for them; the picture's frame is
// shared with the view until the view aligns its next one.
void CammerWidget::SaveFailImage(int step, int kind, bool doorCycle)
{
    auto order = std::make_shared<ResultPictureOrder>();
    if (complete && ResultImage::Order(*work, step, kind, doorCycle, order.get()))
        PostPictureWork([order](QImage& canvas) { ResultImage::Draw(*order, canvas); });
}

// The controller moves the result-image state on itself.
void CammerWidget::UpdateFailImage(int step, int kind, int imageState)
{
    const QString caption = ResultImage::ClearCaption(&imageState);
    const int camera = cameraIndex;
    PostPictureWork([=](QImage&) { ResultImage::DrawClearCaption(camera, step, kind, caption); });
}

void CammerWidget::HandOff(int step, bool ng, bool ok)
{
    if (step < 0 || step >= kMaxDetects)
        return;
    const int camera = cameraIndex;
    PostPictureWork([=](QImage&) {
        QMutexLocker lock(pMutexSaveFail);
        if (ng)
            gisSaveFail[camera][step][kPictureNg] = true;
        if (ok)
            gisSaveFail[camera][step][kPictureOk] = true;
    });
}

void CammerWidget::ResetResults(int steps)
{
    work->cameraOk = true;
    for (int d = 0; d < steps && d < kMaxDetects; ++d) {
        std::fill(std::begin(work->roiOk[d]), std::end(work->roiOk[d]), true);
        std::fill(std::begin(work->roiValue[d]), std::end(work->roiValue[d]), 0);
    }
}

void CammerWidget::Retrain(int step)
{
    if (!complete || step < 0 || step >= kMaxDetects)
        return;
    TemplateStore::LoadStepTemplates(*work, step);
    engine->CreateShape(step);
    engine->VarTrain(step);
    if (step != heldStep)   // the editor shows and previews it
        TemplateStore::ReleaseTemplates(*work, step);
}

void CammerWidget::ClearIgnorePoints(int step)
{
    if (!complete || step < 0 || step >= kMaxDetects || work->ignoreImage[step].empty())
        return;
    work->ignoreImage[step].setTo(0);
    TemplateStore::SaveIgnorePoint(*work, step);
}

void CammerWidget::ShowHideTool(int bits)
{
    prevButton->setVisible(bits & 1);
    nextButton->setVisible(bits & 1);
    toolBar->setVisible(bits & 2);
}

void CammerWidget::TimerShowAlarm()
{
    if (work->cameraOk) {
        blinkPhase = 0;
        blinkTimer->stop();
    } else {
        blinkPhase = 1 - blinkPhase;
    }
    requestPicture();
}
