// Painting of a camera view, by image source and display state.

#include "screen/cammerwidget.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "inspection/imagehelpers.h"
#include "inspection/resultimage.h"
#include "screen/titlebar.h"
#include "screen/viewreadings.h"
#include "screen/viewtexts.h"
#include "widgets/skin.h"

#include <QBackingStore>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QtMath>
#include <opencv2/imgproc.hpp>

#include <cstring>

namespace {

constexpr int kFontLarge = 45;
constexpr int kFontSmallScreen = 20;   // the large font on screens of 1024 pixels or less
constexpr int kFontTop = 40;
constexpr int kFontLabel = 20;
constexpr int kPositionFunction = 3;
constexpr int kDefectFunction = 0;
// Opaque, as every pixel of an RGB32 picture: drawn through a zoom over what
// lies behind the view, a mark must not let that show through.
constexpr uint32_t kRedPixel = 0xFFFF0000;
constexpr uint32_t kCyanPixel = 0xFF00FFFF;
const QColor kAreaColour(QStringLiteral("#E9967A"));

constexpr int kTextAverage = 367;      // "Aver %1"
constexpr int kTextFilterSize = 22;
constexpr int kTextArea = 24;
constexpr int kTextTemplates = 315;    // "Templates %1 / %2     %3"
constexpr int kTextMouldNo = 468;      // "mold No:"
constexpr int kTextCavity = 469;       // "%1#"
constexpr int kTextBrowse = 218;       // "camera %1 detection %2 %3  %5 / %4    %6"
constexpr int kTextOkRecords = 216;
constexpr int kTextNgRecords = 217;
constexpr int kTextCameraStatus = 313; // "Cam %1 %2 %3"
constexpr int kTextLately = 314;       // "Lately %1 NG %2 / %3"
constexpr int kCavities = 8;
static_assert(kMaxRegions <= 64, "a bit for each region of a step");

QFont viewFont(int pixelSize)
{
    QFont font = ToolkitFont(kFontMicroHei, pixelSize);
    font.setWeight(50);
    return font;
}

const WizardPara& para()
{
    return *gpWPara;
}

QString stepName(int d)
{
    return StepName(para().machineType, d);
}

// The display rectangle's top-left corner, or the first vertex of a polygon.
QPoint labelAnchor(const CammerSingleton& record, int d, int r)
{
    switch (record.roiType[d][r]) {
    case kRoiRect:
        return record.rects[d][r].rect.topLeft();
    case kRoiCircle:
        return record.circles[d][r].rect.topLeft();
    default:
        return record.polygons[d][r].pts.isEmpty() ? QPoint() : record.polygons[d][r].pts.first();
    }
}

void drawShape(QPainter& painter, const CammerSingleton& record, int d, int r)
{
    switch (record.roiType[d][r]) {
    case kRoiRect:
        record.rects[d][r].Draw(painter);
        break;
    case kRoiCircle:
        record.circles[d][r].Draw(painter);
        break;
    default:
        record.polygons[d][r].Draw(painter);
        break;
    }
}

// What a region's outline covers, in display coordinates.
QRect shapeBounds(const CammerSingleton& record, int d, int r)
{
    switch (record.roiType[d][r]) {
    case kRoiRect:
        return record.rects[d][r].rect;
    case kRoiCircle:
        return record.circles[d][r].rect;
    default:
        return QPolygon(record.polygons[d][r].pts).boundingRect();
    }
}

// A region's label: the line above its anchor.
QRect labelBox(const QPoint& at)
{
    return QRect(QPoint(at.x(), at.y() - 26), QPoint(at.x() + 399, at.y() - 2));
}

void drawCircleMark(QPainter& painter, const QPoint& p)
{
    painter.drawEllipse(QRect(QPoint(p.x() - 5, p.y() - 5), QPoint(p.x() + 4, p.y() + 4)));
}

}  // namespace

void CammerWidget::paintEvent(QPaintEvent* event)
{
    paintArea = event->rect();
    QPainter painter(this);
    if (judging) {
        // The look as painted when judging began: it covers the view as
        // that paint did.
        painter.drawImage(QPoint(0, 0), judgedLook);
        return;
    }
    const ViewReadings r = host->viewReadings();
    bool covered = false;
    if (gSource == 3 || gSource == 4)
        paintStoredPicture(painter, r);
    else if (gSource == 2)
        paintRecentNg(painter, r);
    else if (cameraIndex < numCamera && complete)
        covered = paintLive(painter, r);
    keepOpaque(covered);
}

// A view whose opaque picture covers it spares the window painting what lies
// behind it at every repaint. A paint that leaves part of the view uncovered
// (a zoom, no frame yet, a stored picture) found nothing painted behind it:
// the view lets what lies behind show again and paints once more.
void CammerWidget::keepOpaque(bool covered)
{
    if (covered == testAttribute(Qt::WA_OpaquePaintEvent))
        return;
    setAttribute(Qt::WA_OpaquePaintEvent, covered);
    if (!covered)
        update();
}

void CammerWidget::applyZoom(QPainter& painter, const ViewReadings& r) const
{
    painter.translate(r.zoomOffset);
    painter.scale(r.zoomFactor, r.zoomFactor);
}

void CammerWidget::convertShownFrame()
{
    const QSize frame(work->imageShow.cols, work->imageShow.rows);
    if (work->imageRgb32.size() != frame)
        work->imageRgb32 = QImage(frame, QImage::Format_RGB32);
    ConvertToRgb32(work->imageShow, work->imageRgb32);
}

void CammerWidget::drawFrameImage(QPainter& painter)
{
    painter.drawImage(rect(), work->imageRgb32);
}

void CammerWidget::paintStoredPicture(QPainter& painter, const ViewReadings& r)
{
    const bool small = gShowW <= 1024;
    painter.setFont(viewFont(small ? kFontSmallScreen : kFontLarge));
    painter.setPen(Qt::green);
    const BrowsedPicture* browsed = host->browsedPicture();
    if (!browsed)
        return;
    if (browsed->count > 0) {
        painter.save();
        applyZoom(painter, r);
        painter.drawImage(rect(), browsed->picture);
        painter.restore();
    }
    const QString kind = LanStr(gSource == 3 ? kTextOkRecords : kTextNgRecords);
    painter.drawText(small ? QPoint(5, 20) : QPoint(5, 40),
                     LanStr(kTextBrowse)
                         .arg(browsed->camera + 1)
                         .arg(stepName(r.editDetect), kind)
                         .arg(browsed->count)
                         .arg(browsed->index + 1)
                         .arg(browsed->name));
}

void CammerWidget::paintRecentNg(QPainter& painter, const ViewReadings& r)
{
    convertShownFrame();
    painter.save();
    applyZoom(painter, r);
    drawFrameImage(painter);
    painter.restore();
    painter.setFont(viewFont(kFontLarge));
    const StateWord state = BrowseStateWord(r.runState);
    const QString head = LanStr(kTextCameraStatus).arg(cameraIndex + 1).arg(stepName(r.editDetect), QString());
    painter.setPen(Qt::green);
    painter.drawText(QPoint(5, 40), head);
    painter.setPen(state.colour);
    painter.drawText(QPoint(5 + painter.fontMetrics().horizontalAdvance(head), 40), state.text);
    const int step = std::clamp(r.editDetect, 0, kMaxDetects - 1);
    painter.setPen(Qt::green);
    painter.drawText(QPoint(600, 40), LanStr(kTextLately)
                                          .arg(stepName(r.editDetect))
                                          .arg(ngRingShown + 1)
                                          .arg(std::min(ngRingPos[step], 3)));
}

bool CammerWidget::paintLive(QPainter& painter, const ViewReadings& r)
{
    const int step = std::clamp(gSource == 0 ? r.editDetect : r.curDetect, 0, kMaxDetects - 1);
    const CammerSingleton& record = gSource == 0 ? *work->editRecord : *work->liveRecord;
    const bool selected = cameraIndex == r.selectedView;

    // The frame on show changes only through the picture thread on live
    // sources; the editor's changes are painted at once.
    const PictureLook look = pictureLook(r);
    if (!livePainted() || !(shownPicture.look == look))
        shownPicture = {PreparePicture(pictureOrder(r, false), work->imageRgb32), QImage(), look, ++pictureSerial};
    painter.drawImage(QPoint(0, 0), shownPicture.view);
    if (selected) {
        painter.save();
        applyZoom(painter, r);
    }
    QString selectionText;
    if (overlayShown(r)) {
        painter.setFont(viewFont(kFontLarge));
        if (r.displayState == DisplayState::ResultShown || gSource == 1) {
            painter.setPen(work->cameraOk ? Qt::green : Qt::red);
            painter.drawText(QPoint(5, 85), work->cameraOk ? QStringLiteral("OK") : QStringLiteral("NG"));
            painter.drawText(QPoint(1450, 40), LanStr(kTextAverage).arg(brightness));
        }
        if (gSource == 0)
            drawLegend(painter);
        selectionText = drawRegions(painter, r, step, record);
    }
    if (selected)
        painter.restore();

    drawTopLines(painter, r, step, selectionText);
    drawPendingShape(painter, r);
    drawBorder(painter);
    return shownPicture.view.size() == size() && !shownPicture.view.hasAlphaChannel();
}

bool CammerWidget::livePainted() const
{
    return complete && liveShown() && cameraIndex < numCamera;
}

// How the live picture is made in the view's state now: the selected view
// and a frame with marked pixels take the whole frame, drawn through the
// zoom of the selected view.
PictureLook CammerWidget::pictureLook(const ViewReadings& r) const
{
    PictureLook look;
    look.source = gSource;
    look.step = std::clamp(gSource == 0 ? r.editDetect : r.curDetect, 0, kMaxDetects - 1);
    const CammerSingleton& record = gSource == 0 ? *work->editRecord : *work->liveRecord;
    look.record = &record;
    look.view = size();
    const bool selected = cameraIndex == r.selectedView;
    const Highlights marks = highlights(r, look.step, record);
    look.marks = marks.bits();
    if (marks.failed)
        for (int roi = 0; roi < std::clamp(record.roiNum[look.step], 0, kMaxRegions); ++roi)
            look.failed |= quint64(!work->roiOk[look.step][roi]) << roi;
    look.whole = selected || look.marks != 0;
    look.keepWhole = videoShared;
    if (selected)
        look.transform = QTransform().translate(r.zoomOffset.x(), r.zoomOffset.y()).scale(r.zoomFactor, r.zoomFactor);
    if (look.marks == 0) {
        // The frame alone, scaled or zoomed: the step and record it belongs
        // to do not change it (a decision moving to the next step does not
        // make the view's picture anew on the GUI thread).
        look.step = -1;
        look.record = nullptr;
    }
    return look;
}

// The frame on show and its marks for the picture. The frame is shared, not
// copied: a frame buffer once shown is not written in place (FramePool). The
// picture thread gets masks of its own: the judging and the editor write them.
PictureOrder CammerWidget::pictureOrder(const ViewReadings& r, bool ownMasks) const
{
    PictureOrder order;
    order.look = pictureLook(r);
    order.frame = work->imageShow;
    if (order.look.marks == 0)
        return order;
    const CammerSingleton& record = *static_cast<const CammerSingleton*>(order.look.record);
    order.marks = highlightMarks(highlights(r, order.look.step, record), order.look.step, record);
    if (ownMasks)
        for (PixelMark& mark : order.marks)
            mark.mask = mark.mask.clone();
    return order;
}

// A repaint of the live picture at the view's next slot (RepaintPacer),
// once the picture thread has made the frame on show ready. Asked again
// while one waits, it is done once.
void CammerWidget::requestPicture()
{
    if (!livePainted()) {
        update();
        return;
    }
    pictureWanted = true;
    if (!live) {
        live = std::make_unique<LivePicture>(this, [this] { pictureReady(); });
        paceTimer = new QTimer(this);
        paceTimer->setSingleShot(true);
        paceTimer->setTimerType(Qt::PreciseTimer);
        connect(paceTimer, &QTimer::timeout, this, [this] {
            lastSlot = paceSlot;
            submitPicture();
        });
    }
    if (judging || paceTimer->isActive() || live->busy())
        return;
    const qint64 now = RepaintPacer::Now();
    paceSlot = RepaintPacer::NextSlot(cameraIndex, now, lastSlot);
    paceTimer->start(int(paceSlot - now));
}

// The newest frame goes on show, shared with imageRaw and the picture thread.
void CammerWidget::submitPicture()
{
    if (judging)
        return;   // asked again when the judging ends
    pictureWanted = false;
    if (!livePainted()) {
        update();
        return;
    }
    if (frameWaiting) {
        work->imageShow = work->imageRaw;
        frameWaiting = false;
    }
    PictureOrder order = pictureOrder(host->viewReadings(), true);
    order.serial = ++pictureSerial;
    live->order(std::move(order));
}

void CammerWidget::pictureReady()
{
    PreparedPicture picture;
    if (live->take(picture)) {
        const bool newer = picture.serial > shownPicture.serial;
        // The whole frame in 32 bits is the view's picture of the frame on
        // show, as the network's live video reads it.
        if (newer && !judging && !picture.whole.isNull())
            work->imageRgb32.swap(picture.whole);
        if (newer) {
            live->recycle(std::move(picture.whole), std::move(shownPicture.view));
            shownPicture = std::move(picture);
            update();
        } else {
            live->recycle(std::move(picture.whole), std::move(picture.view));
        }
    }
    if (pictureWanted)
        requestPicture();
}

// The view as last painted, into judgedLook: its pixels in the window's
// backing store where it is on screen (a copy, not a paint: all views begin
// judging at once), else painted anew.
void CammerWidget::keepLastLook()
{
    QBackingStore* store = isVisible() ? window()->backingStore() : nullptr;
    const auto* painted = store ? dynamic_cast<const QImage*>(store->paintDevice()) : nullptr;
    const QRect inWindow(mapTo(window(), QPoint(0, 0)), size());
    if (painted && painted->devicePixelRatio() == 1 && painted->rect().contains(inWindow)) {
        judgedLook = painted->copy(inWindow);
        return;
    }
    if (judgedLook.size() != size() || judgedLook.format() != QImage::Format_ARGB32_Premultiplied)
        judgedLook = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    judgedLook.fill(Qt::transparent);
    render(&judgedLook, QPoint(), QRegion(), RenderFlags());
}

void CammerWidget::setJudging(bool on)
{
    if (on == judging)
        return;
    if (on) {
        keepLastLook();
        judging = true;
        return;
    }
    judging = false;
    // Shown anew at the view's slot, not with every other view at once: until
    // then the screen keeps the look it had.
    requestPicture();
}

bool CammerWidget::overlayShown(const ViewReadings& r) const
{
    switch (r.displayState) {
    case DisplayState::Normal:
        return para().realTimeRoiDisplay != 0 || gSource == 0;
    case DisplayState::ResultShown:
        return true;
    case DisplayState::Alarm:
        return gSource == 0 || gSource == 1;
    case DisplayState::Editing:
        return gSource == 0;
    default:
        return false;
    }
}

CammerWidget::Highlights CammerWidget::highlights(const ViewReadings& r, int step,
                                                 const CammerSingleton& record) const
{
    const int regions = std::clamp(record.roiNum[step], 0, kMaxRegions);
    Highlights marks;
    marks.failed = regions > 0 && r.displayState == DisplayState::Alarm && gSource == 1 && blinkPhase == 1;
    marks.ignored = regions > 0 && gSource == 0;
    marks.preview = work->previewShown && selectedRoi >= 0 && selectedRoi < regions;
    return marks;
}

std::vector<PixelMark> CammerWidget::highlightMarks(const Highlights& marks, int step,
                                                   const CammerSingleton& record) const
{
    std::vector<PixelMark> out;
    const QSize frame(work->imageShow.cols, work->imageShow.rows);
    const int regions = std::clamp(record.roiNum[step], 0, kMaxRegions);
    for (int roi = 0; roi < regions; ++roi) {
        if (marks.failed && !work->roiOk[step][roi])
            out.push_back(MarkOf(record.ImageBox(step, roi), work->defectImage, frame, kRedPixel));
        if (marks.ignored)
            out.push_back(MarkOf(record.ImageBox(step, roi), work->ignoreImage[step], frame, kCyanPixel));
    }
    if (marks.preview)
        out.push_back(MarkOf(record.ImageBox(step, selectedRoi), work->defectImage, frame, kCyanPixel));
    return out;
}

void CammerWidget::drawLegend(QPainter& painter)
{
    painter.setFont(viewFont(kFontLabel));
    const int h = height() - 1;
    const struct {
        int text;
        QColor colour;
        int top;
    } rows[] = {{kTextFilterSize, Qt::blue, h - 79}, {kTextArea, kAreaColour, h - 39}};
    for (const auto& row : rows) {
        painter.setPen(row.colour);
        painter.drawText(QRect(QPoint(10, row.top), QPoint(159, row.top + 24)), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1 :").arg(LanStr(row.text)));
        painter.fillRect(QRect(QPoint(160, row.top), QPoint(184, row.top + 24)), row.colour);
    }
}

QString CammerWidget::drawRegions(QPainter& painter, const ViewReadings& r, int step, const CammerSingleton& record)
{
    QString selectionText;
    const int regions = std::clamp(record.roiNum[step], 0, kMaxRegions);
    for (int roi = 0; roi < regions; ++roi) {
        const bool drawn = gSource != 0 ? record.func[step][roi] != kPositionFunction
                                        : selectedRoi < 0 || selectedRoi == roi || moveMode == 2;
        if (drawn && !outsidePaintArea(painter, r, step, record, roi))
            drawRegion(painter, r, step, record, roi, &selectionText);
    }
    return selectionText;
}

// Whether a region's outline and label lie wholly outside the part of the
// view being painted: a countdown tick repaints a small part of every view,
// which need not lay out every label. The editor and the alarm's boxes are
// always drawn.
bool CammerWidget::outsidePaintArea(const QPainter& painter, const ViewReadings& r, int step,
                                    const CammerSingleton& record, int roi) const
{
    constexpr int kPenReach = 8;   // outlines are drawn with pens a few pixels wide
    if (gSource == 0 || r.displayState == DisplayState::Alarm || paintArea.contains(rect()))
        return false;
    const QRect bounds = (shapeBounds(record, step, roi) | labelBox(labelAnchor(record, step, roi)))
                             .adjusted(-kPenReach, -kPenReach, kPenReach, kPenReach);
    const QTransform toView = QTransform::fromScale(r.displayScaleX, r.displayScaleY) * painter.worldTransform();
    return !toView.mapRect(bounds).intersects(paintArea);
}

void CammerWidget::drawRegion(QPainter& painter, const ViewReadings& r, int step, const CammerSingleton& record,
                              int roi, QString* selectionText)
{
    const WizardPara& w = para();
    const bool failed = !work->roiOk[step][roi];
    const QRect box = record.ImageBox(step, roi);

    painter.save();
    painter.scale(r.displayScaleX, r.displayScaleY);
    if (gSource == 0 && record.func[step][roi] == kDefectFunction) {
        // The filter size and the alarm area as squares beside each other.
        const int cx = (box.left() + box.right()) / 2, bw = box.right() - box.left(), cy = (box.top() + box.bottom()) / 2;
        const int filter = w.perRoiParams ? record.minWH[step][roi] : w.filterSize;
        const int areaSide = int(std::sqrt(double(w.perRoiParams ? record.area[step][roi] : w.alarmArea)));
        const int fx = int(float(cx - bw / 4) * gShowAW - float(filter) / 2);
        const int fy = int(float(cy) * gShowAH - float(filter) / 2);
        painter.fillRect(QRect(fx, fy, filter, filter), Qt::blue);
        const int ax = int(float(cx + bw / 4) * gShowAW) - areaSide / 2;
        const int ay = int(float(cy) * gShowAH) - areaSide / 2;
        painter.fillRect(QRect(ax, ay, areaSide, areaSide), kAreaColour);
    }
    painter.restore();

    QPen pen(r.displayState == DisplayState::Normal ? QColor(Qt::darkBlue)
                                              : (work->cameraOk || !failed ? Qt::green : Qt::red));
    if (r.displayState == DisplayState::Alarm && gSource == 1 && !work->cameraOk && failed) {
        painter.save();
        painter.scale(r.imageScaleX, r.imageScaleY);
        painter.setPen(Qt::red);
        const AlarmRect* boxes = work->alarmRects[step][roi];
        const int count = std::clamp(boxes[0].x1, 0, kMaxAlarmRects - 1);
        for (int k = 1; k <= count; ++k) {
            const AlarmRect& a = boxes[k];
            painter.drawRect(QRect(QPoint(a.x1, a.y1), QPoint(a.x2 - 1, a.y2 - 1)));
        }
        painter.restore();
    }

    painter.save();
    painter.scale(r.displayScaleX, r.displayScaleY);
    painter.setPen(pen);
    drawShape(painter, record, step, roi);
    if (gSource == 0 && roi == selectedRoi && record.roiType[step][roi] == kRoiPolygon
        && selectedPart < record.polygons[step][roi].count()) {
        painter.setPen(QPen(Qt::cyan, 2));
        drawCircleMark(painter, record.polygons[step][roi].pts[selectedPart]);
    }
    const QString label = ResultImage::RegionLabel(record, step, roi, work->roiValue[step][roi]);
    if (gSource == 0 && selectedRoi >= 0) {
        *selectionText = label;
    } else {
        painter.setPen(pen);
        painter.setFont(viewFont(kFontLabel));
        const QPoint at = labelAnchor(record, step, roi);
        painter.drawText(labelBox(at), Qt::AlignLeft | Qt::AlignVCenter, label);
    }
    painter.restore();
}

void CammerWidget::drawTopLines(QPainter& painter, const ViewReadings& r, int step, const QString& selectionText)
{
    writeStatusRow(r, step);
    painter.save();
    painter.scale(r.displayScaleX, r.displayScaleY);
    const QString countdown = CountdownText(r.countdown);
    if (!countdown.isEmpty()) {
        painter.setFont(viewFont(kFontLarge));
        painter.setPen(Qt::green);
        painter.drawText(QPoint(525, 40), countdown);
    }
    painter.setFont(viewFont(kFontTop));
    painter.setPen(Qt::green);
    TitleBar* bar = host->statusBar();
    if (gSource == 0) {
        painter.drawText(QPoint(850, 40),
                         LanStr(kTextTemplates).arg(work->shownTemplate + 1).arg(work->templateTotal[step]).arg(selectionText));
    } else {
        if (bar) {
            bar->setCameraInfo(cameraIndex, CameraInfo::LayerNum, QString::number(gAllNum[cameraIndex]), 0);
            bar->setCameraInfo(cameraIndex, CameraInfo::NGNum, QString::number(gFailNum[cameraIndex]), 0);
            bar->setCameraInfo(cameraIndex, CameraInfo::CostTime, QString::number(host->frameRate(cameraIndex)), 0);
        }
        if (r.displayState != DisplayState::Editing && para().showCavityBoxes)
            drawCavityLine(painter);
    }
    if ((gSource == -1 || gSource == 0) && cameraIndex == r.selectedView && r.displayState != DisplayState::ResultShown) {
        if (bar)
            bar->setLocation(LocationText(r.cursorImagePos.x(), r.cursorImagePos.y(), r.cursorValue, gisColor != 0));
        if (gSource == 0)
            painter.drawText(QPoint(5, 85), gTempTime);
    }
    painter.restore();
}

void CammerWidget::writeStatusRow(const ViewReadings& r, int step)
{
    TitleBar* bar = host->statusBar();
    if (!bar)
        return;
    const StateWord state = CameraStateWord(r.runState, r.countdownPhase);
    const QString word = state.text.isEmpty()
                             ? QString()
                             : QStringLiteral("<span style=\"color:%1\">%2</span>").arg(state.colour.name(), state.text);
    const bool detecting = r.runState != RunState::Relearning && r.runState != RunState::Stopped;
    bar->setCameraInfo(cameraIndex, CameraInfo::Message, CameraStatusText(cameraIndex, stepName(step), word),
                       detecting ? MessageOk : MessageWarning);
}

void CammerWidget::drawCavityLine(QPainter& painter)
{
    painter.drawText(QPoint(177, 85), LanStr(kTextMouldNo));
    int x = 352;
    bool first = true;
    for (int i = 1; i <= kCavities; ++i) {
        if (work->liveRecord->detectFlag[1][i - 1] != 2)
            continue;
        if (!first) {
            painter.drawText(QPoint(x, 85), QStringLiteral(","));
            x += 10;
        }
        painter.drawText(QPoint(x, 85), LanStr(kTextCavity).arg(i));
        x += 60;
        first = false;
    }
}

void CammerWidget::drawPendingShape(QPainter& painter, const ViewReadings& r)
{
    if (editState != 1)
        return;
    painter.save();
    if (cameraIndex == r.selectedView)
        applyZoom(painter, r);
    painter.setPen(Qt::green);
    if (r.drawTool == 2) {
        painter.setPen(QPen(Qt::green, 2));
        for (int i = 1; i < polyPoints.size(); ++i)
            painter.drawLine(polyPoints[i - 1], polyPoints[i]);
        if (!polyPoints.isEmpty()) {
            painter.setPen(Qt::cyan);
            drawCircleMark(painter, polyPoints.first());
        }
    } else if (r.drawTool == 4) {
        pendingCircle.Draw(painter);
    } else if (r.drawTool == 1) {
        pendingRect.Draw(painter);
    }
    painter.restore();
}

void CammerWidget::drawBorder(QPainter& painter)
{
    const bool drawingPolygon = editState == 1 && polyActive;
    const QColor colour = drawingPolygon && !polyPoints.isEmpty() ? Qt::cyan : Qt::green;
    if (drawingPolygon) {
        painter.setPen(QPen(colour, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(QPoint(0, 0), QPoint(width() - 1, height() - 1)));
    } else {
        // A one-pixel outline of the view shows only its top and left edges
        // (the others fall just outside): filled as lines, since stroking
        // the rectangle takes the raster engine ~0.2 ms a paint.
        painter.fillRect(QRect(0, 0, width(), 1), colour);
        painter.fillRect(QRect(0, 0, 1, height()), colour);
    }
    if (!camNumPixmap.isNull())
        painter.drawPixmap(width() - camNumPixmap.width() - 10, 10, camNumPixmap);
}
