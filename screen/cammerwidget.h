#pragma once
// One camera's view on the main screen and the owner of everything the
// program keeps per camera position: the incoming frame of the hand-off,
// the working set of inspection (frame buffers, region records and masks,
// templates, ignore points, results), the inspection engine and a ring of
// the last NG frames. The run controller drives it as a RunView.
//
// Template pictures are in memory only while their step trains (at
// construction and Retrain) and from a re-sample (SaveReTrainImage) to the
// training that follows; the files hold them otherwise - kept for 8 cameras,
// 8 steps and 10 templates they would take some 800 MB. Whoever shows or
// previews a template loads its step (TemplateStore::LoadStepTemplates) and
// releases it afterwards.
//
// The image container makes eight views, one per position, whether or not a
// camera is found there. A view whose camera did not open stops after its
// camera was tried and keeps only its incoming, show and display
// buffers - except view 0 and, with no camera found at all, the views of the
// camera-less layout (positions 0 to 3), which are always built in full, so
// that every view the layout shows is complete.

#include "camera/framebuffer.h"
#include "inspection/circle.h"
#include "inspection/rect.h"
#include "inspection/cameraworkset.h"
#include "screen/livepicture.h"
#include "screen/regionediting.h"
#include "screen/runview.h"

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
class RoiParaPanel;
class QMouseEvent;
class QTimer;
class ViewHost;
class roiOperation;
struct ViewReadings;

class CammerWidget : public QWidget, public RunView, public RegionEditing
{
    Q_OBJECT
public:
    CammerWidget(int index, QWidget* parent, ViewHost* host);
    ~CammerWidget() override;
    Q_DISABLE_COPY(CammerWidget)

    // Construction went through in full (see above).
    bool fullyBuilt() const { return complete; }
    bool cameraOpen() const;

    // Reads the ignore points of every step.
    void LoadIgnorePoint();
    // Repaints the area of the countdown label.
    void UpdateCountdown();

    // Bit 0 shows the template arrows, bit 1 the region tool bar.
    void ShowHideTool(int bits);
    void DeleteAllFailImage() {}

    // While a worker judges the view (writes work's results and pictures),
    // painting reads nothing of work or the engine: the view shows what it
    // last painted. Set back to off, the view repaints.
    void setJudging(bool on);
    bool judgingNow() const { return judging; }
    // A live picture is asked for, made ready or waiting to be shown.
    bool pictureWaiting() const { return pictureWanted || (live && live->busy()); }

    // RunView: the polling pass.
    bool TakeFrame() override;
    void ShowLiveFrame() override;
    void SetWB() override;
    void LoadTestPicture(const QString& file) override;
    // RunView: inspection of one step.
    void SaveOriginal(const QString& file) override;
    void Inspect(int step) override;
    // Inspect(step) of every view of the list at once: the cameras are
    // aligned and judged in parallel, their records and results handed on in
    // the order of the list.
    static void InspectAll(const QVector<CammerWidget*>& views, int step);
    bool cameraOk() const override { return work->cameraOk; }
    QString frameFault() const override;
    void setCameraOk(bool ok) override { work->cameraOk = ok; }
    QVector<FailedRegion> FailedRegions(int step) const override;
    void PushNgRing(int step) override;
    void UpdateLive() override;
    // Shows the run state anew: a live view at its next repaint slot (the
    // views do not all repaint at once), any other at once.
    void Refresh() { requestPicture(); }
    void SaveReTrainImage(int step) override;
    // RunView: the decision.
    void StartBlink() override;
    void SaveFailImage(int step, int kind, bool doorCycle) override;
    void UpdateFailImage(int step, int kind, int imageState) override;
    void HandOff(int step, bool ng, bool ok) override;
    void ResetResults(int steps) override;
    void Retrain(int step) override;
    void ClearIgnorePoints(int step) override;

    const int cameraIndex;

    // The working set (records, masks, frames, templates, ignore points,
    // results) and the records it points to.
    std::unique_ptr<CameraWorkSet> work;
    std::unique_ptr<CammerSingleton> liveRecord;
    std::unique_ptr<CammerSingleton> editRecord;
    std::unique_ptr<CammerRecong> engine;   // over liveRecord and work
    std::unique_ptr<CameraUnit> camera;

    CameraFrameBuffer imageIn;        // written by the camera's producer under pMutex[cameraIndex]
    int brightness = 0;               // mean grey level of the newest frame
    bool hadFrame = false;            // a frame (or test picture) has been taken over since start

    // The last three NG work frames per step: ngRingPos frames are pushed
    // so far, a frame is made by its first push (empty before).
    cv::Mat ngRing[kMaxDetects][3];
    int ngRingPos[kMaxDetects] = {};
    int ngRingShown = 0;

    // Alarm blinking.
    QTimer* blinkTimer = nullptr;
    int blinkPhase = 0;

    // The parameter panel of the selected region (touch editing: RegionEditing).
    RoiParaPanel* panel = nullptr;

    QPushButton* prevButton = nullptr;
    QPushButton* nextButton = nullptr;
    roiOperation* toolBar = nullptr;
    QPixmap camNumPixmap;

    // Touch editing: drop the selection and the drawing tool; rebuild the
    // parameter panel; the frame point and value under a view point.
    void DeselectROI();
    // The step edited (the main window's editDetect, held in range).
    int editStep() const;
    void ShowHideROIPara();
    void MUpdateXYV(int x, int y);
    // The edited step's templates in memory while the editor shows them
    // (the live preview judges on them); released when it leaves.
    void HoldTemplates(int step);
    void ReleaseHeldTemplates();
    int heldTemplateStep() const { return heldStep; }

public slots:
    void TimerShowAlarm();
    void SavePolygon();

signals:
    // The template arrows: show the previous / next template.
    void previousTemplate();
    void nextTemplate();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void buildWidgets();
    void allocateDisplayBuffers();
    void buildWorkingSet();
    void loadRecords();
    bool liveShown() const;
    void showNewestFrame();

    // Painting, by image source.
    void paintStoredPicture(QPainter& painter, const ViewReadings& r);
    void paintRecentNg(QPainter& painter, const ViewReadings& r);
    // Whether the picture painted covers the whole view.
    bool paintLive(QPainter& painter, const ViewReadings& r);
    void keepOpaque(bool covered);
    void keepLastLook();
    void convertShownFrame();
    void drawFrameImage(QPainter& painter);
    // The live picture: made ready by the picture thread at the view's pace
    // (livepicture.h), or here when the look changed since.
    bool livePainted() const;
    void requestPicture();
    void submitPicture();
    void pictureReady();
    PictureLook pictureLook(const ViewReadings& r) const;
    PictureOrder pictureOrder(const ViewReadings& r, bool ownMasks) const;
    // Pixels marked in the frame: defects of failed regions (alarm blink),
    // ignore points (editing), the previewed region's defects.
    struct Highlights {
        bool failed = false;
        bool ignored = false;
        bool preview = false;
        bool any() const { return failed || ignored || preview; }
        unsigned bits() const { return unsigned(failed) | unsigned(ignored) << 1 | unsigned(preview) << 2; }
    };
    Highlights highlights(const ViewReadings& r, int step, const CammerSingleton& record) const;
    void applyZoom(QPainter& painter, const ViewReadings& r) const;
    std::vector<PixelMark> highlightMarks(const Highlights& marks, int step, const CammerSingleton& record) const;
    bool overlayShown(const ViewReadings& r) const;
    QString drawRegions(QPainter& painter, const ViewReadings& r, int step, const CammerSingleton& record);
    bool outsidePaintArea(const QPainter& painter, const ViewReadings& r, int step, const CammerSingleton& record,
                          int roi) const;
    void drawRegion(QPainter& painter, const ViewReadings& r, int step, const CammerSingleton& record, int roi,
                    QString* selectionText);
    void drawLegend(QPainter& painter);
    void drawTopLines(QPainter& painter, const ViewReadings& r, int step, const QString& selectionText);
    void writeStatusRow(const ViewReadings& r, int step);
    void drawCavityLine(QPainter& painter);
    void drawPendingShape(QPainter& painter, const ViewReadings& r);
    void drawBorder(QPainter& painter);

    // Touch handling.
    bool editingHere() const;
    Touch touchAt(const QPointF& pos) const;
    void afterEdit(const EditOutcome& out);
    void copyRegionAt(const QPoint& p);

    ViewHost* const host;
    bool complete = false;
    bool videoShared = false;    // the network's live video reads imageRgb32
    int heldStep = -1;
    QPoint lastTouchPos;

    // The live picture shown and the next one.
    std::unique_ptr<LivePicture> live;
    PreparedPicture shownPicture;
    quint64 pictureSerial = 0;
    QTimer* paceTimer = nullptr;
    qint64 paceSlot = -1;        // the slot paceTimer waits for
    qint64 lastSlot = -1;        // the slot of the last order
    bool pictureWanted = false;  // a repaint asked for and not ordered yet
    bool frameWaiting = false;   // a new frame to show at the next order
    bool judging = false;
    QImage judgedLook;           // the view as painted when judging began
    QRect paintArea;             // the part of the view being painted
};

// Modification time text of the template shown in the editor.
extern QString gTempTime;
