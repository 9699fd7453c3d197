#pragma once
// One camera's view on the main screen and the owner of everything the
// program keeps per camera position: the frame buffers of the hand-off, the
// region record in force and the one being edited, the inspection engine,
// the region masks, the results of the last inspection, the templates, the
// ignore points and a ring of the last NG frames.
//
// The image container makes eight views, one per position, whether or not a
// camera is found there. A view whose camera did not open stops after its
// camera was tried and keeps only its incoming, SDK, show and display
// buffers - except view 0 and, with no camera found at all, the views of the
// camera-less layout (positions 0 to 3), which are always built in full.

#include "camera/framebuffer.h"
#include "inspection/cammersingleton.h"
#include "inspection/circle.h"
#include "inspection/rect.h"

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QVector>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class CameraUnit;
class CammerRecong;
class QPushButton;
class QTimer;
class ViewHost;
class roiOperation;
struct ViewReadings;

// A defect box of a region, frame coordinates, x2 and y2 exclusive.
struct AlarmBox {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
constexpr int kAlarmBoxes = 100;   // entry 0 holds the count in x1, entries 1..99 the boxes

using FrameBytes = std::vector<uint8_t>;

class CammerWidget : public QWidget
{
    Q_OBJECT
public:
    CammerWidget(int index, QWidget* parent, ViewHost* host);
    ~CammerWidget() override;
    Q_DISABLE_COPY(CammerWidget)

    // Construction went through in full (see above).
    bool fullyBuilt() const { return complete; }
    bool cameraOpen() const;

    // Frame hand-off. Takes over the newest frame when one arrived (imageIn ->
    // imageRaw under the camera's lock) and measures its brightness; true
    // when there was one. Always false for a view that is not fully built.
    bool TakeFrame();
    // imageRaw -> imageShow and repaint, while the live picture is shown.
    void ShowLiveFrame();

    // Blinks the defects of an NG camera once a second until it is OK again.
    void StartBlink();

    // Bit 0 shows the template arrows, bit 1 the region tool bar.
    void ShowHideTool(int bits);
    void DeleteAllFailImage() {}

    // Alarm-box entry k (0 count, 1..99 boxes) of region r of step d.
    AlarmBox& alarmBox(int d, int r, int k);
    int alarmBoxCount(int d, int r) const;

    const int cameraIndex;

    // Region records and masks (frame-box sized, per step and region).
    std::unique_ptr<CammerSingleton> liveRecord;
    std::unique_ptr<CammerSingleton> editRecord;
    RegionMasks liveMasks;
    RegionMasks editMasks;
    CammerRecong* engine = nullptr;
    std::unique_ptr<CameraUnit> camera;

    // Frame buffers: gColorLen bytes unless said otherwise.
    CameraFrameBuffer imageIn;   // written by the camera's producer
    FrameBytes imageRaw;         // newest frame taken over
    FrameBytes imageWork;        // aligned frame the engine judges
    FrameBytes imageShow;        // frame shown (grey, or 32-bit pixels in colour)
    FrameBytes imageSdk;         // gImageLen x 4, scratch of the SDKs and image processing
    FrameBytes imageGray;        // gImageLen, colour mode only
    FrameBytes imageRgba;        // colour mode only
    FrameBytes imageRgb32;       // gImageLen x 4, what the paint draws
    QImage rgb32Image;           // RGB32 over imageRgb32

    // Results of the last inspection or preview.
    bool cameraOk = true;
    bool roiOk[kMaxDetects][kMaxRegions] = {};
    int roiValue[kMaxDetects][kMaxRegions] = {};
    std::vector<AlarmBox> alarmRects;   // [step][region][kAlarmBoxes]
    FrameBytes defectImage;             // gImageLen, non-zero = defect
    bool previewShown = false;
    int brightness = 0;

    // Templates and ignore points.
    cv::Mat ignoreImage[kMaxDetects];                   // 8-bit, non-zero = ignored
    std::vector<FrameBytes> templates[kMaxDetects];     // gTempNum slots per step
    std::vector<int> templateFlags[kMaxDetects];        // slot in use
    int templateTotal[kMaxDetects] = {};
    int shownTemplate = 0;

    // The last three NG work frames per step.
    FrameBytes ngRing[kMaxDetects][3];
    int ngRingPos[kMaxDetects] = {};
    int ngRingShown = 0;

    // Alarm blinking.
    QTimer* blinkTimer = nullptr;
    int blinkPhase = 0;

    // Touch editing and the parameter panel.
    int selectedRoi = -1;
    int lastSelectedRoi = -1;
    int selectedVertex = 0;
    int moveMode = 0;
    int dragHandle = -1;
    int editState = 0;
    int polyCount = 0;
    bool pendingShape = false;
    bool polyActive = false;
    bool touchDown = false;
    QVector<QPoint> polyPoints;
    ClustomRect pendingRect;
    Circle pendingCircle;

    QPushButton* prevButton = nullptr;
    QPushButton* nextButton = nullptr;
    roiOperation* toolBar = nullptr;
    QPixmap camNumPixmap;

public slots:
    void TimerShowAlarm();

signals:
    // The template arrows: show the previous / next template.
    void previousTemplate();
    void nextTemplate();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildWidgets();
    void allocateDisplayBuffers();
    void buildWorkingSet();
    void loadTemplates();
    void loadRecords();
    void buildEngine();

    // Painting, by image source.
    void paintStoredPicture(QPainter& painter, const ViewReadings& r);
    void paintRecentNg(QPainter& painter, const ViewReadings& r);
    void paintLive(QPainter& painter, const ViewReadings& r);
    void convertShownFrame();
    void drawFrameImage(QPainter& painter);
    void applyZoom(QPainter& painter, const ViewReadings& r) const;
    void markHighlights(const ViewReadings& r, int step, const CammerSingleton& record);
    void markPixels(const QRect& box, const uint8_t* mask, int maskStride, uint32_t colour);
    bool overlayShown(const ViewReadings& r) const;
    QString drawRegions(QPainter& painter, const ViewReadings& r, int step, const CammerSingleton& record);
    void drawRegion(QPainter& painter, const ViewReadings& r, int step, const CammerSingleton& record, int roi,
                    QString* selectionText);
    void drawLegend(QPainter& painter);
    void drawTopLines(QPainter& painter, const ViewReadings& r, int step, const QString& selectionText);
    void writeStatusRow(const ViewReadings& r, int step);
    void drawCavityLine(QPainter& painter);
    void drawPendingShape(QPainter& painter, const ViewReadings& r);
    void drawBorder(QPainter& painter);

    ViewHost* const host;
    bool complete = false;
};

// Modification time text of the template shown in the editor.
extern QString gTempTime;
