#include "screen/cammerwidget.h"

#include "camera/cameradetect.h"
#include "camera/cameraglobals.h"
#include "camera/cameraunit.h"
#include "core/globals.h"
#include "screen/roioperation.h"
#include "screen/viewreadings.h"
#include "screen/viewtemplates.h"

#include <QPushButton>
#include <QSqlDatabase>
#include <QTimer>

#include <opencv2/core.hpp>

int gSource = -1;
QString gTempTime;

namespace {

constexpr int kBlinkMs = 1000;
constexpr int kArrowSize = 60;
const QPoint kPrevArrow(40, 400);
const QPoint kNextArrow(1600, 400);
const QPoint kToolBarPlace(950, 850);
const char* const kParamConnection = "dbIn";

FrameBytes zeroed(int bytes)
{
    return FrameBytes(size_t(std::max(bytes, 0)), 0);
}

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

}  // namespace

CammerWidget::CammerWidget(int index, QWidget* parent, ViewHost* host)
    : QWidget(parent)
    , cameraIndex(index)
    , host(host)
{
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
    loadTemplates();
    loadRecords();
    buildEngine();
    camera->CameraStart();
    blinkTimer = new QTimer(this);
    connect(blinkTimer, &QTimer::timeout, this, &CammerWidget::TimerShowAlarm);
    moveMode = 0;
    complete = true;
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
    setStyleSheet(QStringLiteral(
        "QPushButton{border-style:none;background:transparent;}QPushButton:pressed{background-color:#FFC107;}"));
    ShowHideTool(0);
}

void CammerWidget::allocateDisplayBuffers()
{
    imageIn.allocate(gImageW, gImageH, gisColor != 0);
    imageSdk = zeroed(gImageLen * 4);
    if (gisColor) {
        imageGray = zeroed(gImageLen);
        imageRgba = zeroed(gColorLen);
    }
    imageShow = zeroed(gColorLen);
    imageRgb32 = zeroed(gImageLen * 4);
    rgb32Image = QImage(imageRgb32.data(), gImageW, gImageH, QImage::Format_RGB32);
    selectedRoi = -1;
    lastSelectedRoi = -1;
    brightness = 0;
}

void CammerWidget::buildWorkingSet()
{
    imageRaw = zeroed(gColorLen);
    imageWork = zeroed(gColorLen);
    dragHandle = -1;
    editState = 0;
    polyCount = 0;
    pendingShape = polyActive = touchDown = false;
    defectImage = zeroed(gImageLen);
    alarmRects.assign(size_t(kMaxDetects) * kMaxRegions * kAlarmBoxes, AlarmBox());
    cameraOk = true;
    for (auto& step : roiOk)
        std::fill(std::begin(step), std::end(step), true);
    blinkPhase = 0;
    ngRingShown = 0;
    for (int d = 0; d < gDNum && d < kMaxDetects; ++d) {
        ngRingPos[d] = 0;
        for (FrameBytes& frame : ngRing[d])
            frame = zeroed(gColorLen);
        // No ignore points until the stored ones are read.
        ignoreImage[d] = cv::Mat::zeros(std::max(gImageH, 1), std::max(gImageW, 1), CV_8UC1);
    }
}

void CammerWidget::loadTemplates()
{
    for (int d = 0; d < gDNum && d < kMaxDetects; ++d) {
        templates[d].assign(size_t(std::max(gTempNum, 0)), FrameBytes());
        templateFlags[d].assign(size_t(std::max(gTempNum, 0)), 0);
        templateTotal[d] = 0;
        for (int j = 0; j < gTempNum; ++j) {
            templates[d][j] = zeroed(gColorLen);
            if (ReadTemplatePicture(TemplateFile(cameraIndex, d, j), gImageW, gImageH, gisColor != 0,
                                    templates[d][j].data())) {
                templateFlags[d][j] = 1;
                ++templateTotal[d];
            }
        }
        if (gTempNum > 0 && !templateFlags[d][0]) {
            FillCentreTemplate(templates[d][0].data(), gImageW, gImageH);
            templateFlags[d][0] = 1;
            ++templateTotal[d];
        }
    }
}

void CammerWidget::loadRecords()
{
    QSqlDatabase paramDb = QSqlDatabase::database(QLatin1String(kParamConnection));
    liveRecord = std::make_unique<CammerSingleton>(cameraIndex);
    liveRecord->LoadDatafromFile(paramDb, &liveMasks);
    editRecord = std::make_unique<CammerSingleton>(cameraIndex);
}

// The inspection engine of this camera, built over the record in force.
void CammerWidget::buildEngine()
{
}

bool CammerWidget::cameraOpen() const
{
    return camera && camera->cameraOpen();
}

bool CammerWidget::TakeFrame()
{
    if (!complete || !TakeNewestFrame(cameraIndex, imageIn, imageRaw.data(), imageRaw.size()))
        return false;
    if (gisColor) {
        // Luma of the mean colour (the mean of the pixels' luma).
        const cv::Scalar mean = cv::mean(cv::Mat(gImageH, gImageW, CV_8UC4, imageRaw.data()));
        brightness = int(0.114 * mean[0] + 0.587 * mean[1] + 0.299 * mean[2]);
    } else {
        brightness = int(cv::mean(cv::Mat(gImageH, gImageW, CV_8UC1, imageRaw.data()))[0]);
    }
    return true;
}

void CammerWidget::ShowLiveFrame()
{
    if (!complete || (gSource != -1 && gSource != 1))
        return;
    std::copy(imageRaw.begin(), imageRaw.end(), imageShow.begin());
    update();
}

void CammerWidget::ShowHideTool(int bits)
{
    prevButton->setVisible(bits & 1);
    nextButton->setVisible(bits & 1);
    toolBar->setVisible(bits & 2);
}

AlarmBox& CammerWidget::alarmBox(int d, int r, int k)
{
    return alarmRects[(size_t(d) * kMaxRegions + size_t(r)) * kAlarmBoxes + size_t(k)];
}

int CammerWidget::alarmBoxCount(int d, int r) const
{
    if (alarmRects.empty())
        return 0;
    const int n = alarmRects[(size_t(d) * kMaxRegions + size_t(r)) * kAlarmBoxes].x1;
    return std::clamp(n, 0, kAlarmBoxes - 1);
}

void CammerWidget::StartBlink()
{
    if (blinkTimer)
        blinkTimer->start(kBlinkMs);
}

void CammerWidget::TimerShowAlarm()
{
    if (cameraOk) {
        blinkPhase = 0;
        blinkTimer->stop();
    } else {
        blinkPhase = 1 - blinkPhase;
    }
    update();
}
