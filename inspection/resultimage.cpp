#include "inspection/resultimage.h"

#include "inspection/cameraworkset.h"
#include "inspection/imagehelpers.h"
#include "inspection/regionjudge.h"

#include "core/texttable.h"
#include "core/wizardpara.h"

#include <QMutex>
#include <QMutexLocker>
#include <QPainter>

PendingPicture gpFailImage[kMaxCameras][kMaxDetects][2];
bool gisSaveFail[kMaxCameras][kMaxDetects][2] = {};
int gFailIndex[kMaxCameras][kMaxDetects] = {};

namespace {

constexpr int kTextDoorCycle = 265;   // "Safety door trigger detection"
constexpr int kTextClearMethod = 120; // "Alarm clear method:"
constexpr int kVerdictPixels = 26;
constexpr int kLabelPixels = 16;
constexpr int kLabelWidth = 400;
constexpr int kLabelHeight = 25;
constexpr int kLabelLift = 26;
constexpr int kLimitLabels = 10;      // more regions: labels without limits
const QPoint kVerdictAt(5, 80);
const QPoint kCaptionAt(5, 110);
const QPoint kClearMethodAt(55, 80);

// How an alarm was cleared, by result-image state: the texts drawn and the next state.
struct ClearCaptionText {
    int state;
    int first;    // text entry, -1 none
    int second;
    int next;
};
const ClearCaptionText kClearCaptions[] = {
    {4, 47, kTextClearMethod, 9},    // "Don't Detect"
    {5, 48, kTextClearMethod, 9},    // "Add As Temp"
    {6, 338, kTextClearMethod, 9},   // "Re-detect switch to mold detection"
    {7, 61, kTextClearMethod, 8},    // "Re-detected"
    {8, -1, 143, 10},                // "OK Image Re-detect"
};

QString Text(int entry)
{
    return entry < 0 ? QString() : LanStr(entry);
}

QFont PictureFont(int pixels)
{
    QFont font(QString::fromLatin1(kFontMicroHei));
    font.setPixelSize(pixels);
    return font;
}

bool ValidSlot(int camera, int d, int kind)
{
    return camera >= 0 && camera < kMaxCameras && d >= 0 && d < kMaxDetects && (kind == 0 || kind == 1);
}

// Pending pictures are kept small (PendingPicture): a picture may be
// pending for every camera, step and kind while the writer works through
// them one by one. Packed as they are stored (on the picture queue), what
// waits takes the same memory whenever one looks.
void StorePending(const QImage& picture, int camera, int d, int kind)
{
    PendingPicture stored = PendingPicture(picture).Packed();
    QMutexLocker lock(pMutexSaveFail);
    std::swap(gpFailImage[camera][d][kind], stored);
}

QString LimitText(const CammerSingleton& record, int d, int r)
{
    const int b = record.sensitivity[d][r], c = record.area[d][r];
    switch (record.func[d][r]) {
    case kFuncDefect:
        return QString::number(gpWPara && !gpWPara->perRoiParams ? gpWPara->alarmArea : c);
    case kFuncSimilarity:
        return QString::number(b);
    case kFuncSpot:
        return QStringLiteral("%1--%2").arg(b).arg(c);
    default:
        return QString::number(c);
    }
}

// Draws region's outline with the painter's pen; returns its label anchor.
QPoint DrawOutline(QPainter& painter, const ResultPictureOrder& order, const ResultPictureOrder::Region& region)
{
    switch (region.type) {
    case kRoiRect:
        painter.drawRect(region.rect);
        return region.rect.topLeft();
    case kRoiCircle:
        painter.save();
        painter.scale(order.circleScaleX, order.circleScaleY);
        region.circle.Draw(painter);
        painter.restore();
        return region.circle.imageRect.topLeft();
    default:
        painter.drawPolygon(region.points.constData(), region.points.size(), Qt::OddEvenFill);
        return region.points.isEmpty() ? kVerdictAt : region.points.first();
    }
}

// The number (from 1) of the first failed region goes with the picture.
void NoteFirstFailure(const ResultPictureOrder& order)
{
    for (size_t r = 0; r < order.regions.size(); ++r) {
        if (!order.regions[r].failed)
            continue;
        QMutexLocker lock(pMutexSaveFail);
        if (gFailIndex[order.camera][order.d] == 0)
            gFailIndex[order.camera][order.d] = int(r) + 1;
        return;
    }
}

void DrawRegions(QPainter& painter, const ResultPictureOrder& order)
{
    painter.setFont(PictureFont(kLabelPixels));
    for (const ResultPictureOrder::Region& region : order.regions) {
        const QPen pen(region.failed ? Qt::red : Qt::green);
        painter.setPen(pen);
        for (const QRect& box : region.boxes)
            painter.drawRect(box);
        const QPoint anchor = DrawOutline(painter, order, region);
        painter.setPen(pen);
        painter.drawText(QRect(anchor.x(), anchor.y() - kLabelLift, kLabelWidth, kLabelHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, region.label);
    }
}

ResultPictureOrder::Region RegionOf(const CameraWorkSet& view, int d, int r)
{
    const CammerSingleton& record = *view.liveRecord;
    ResultPictureOrder::Region region;
    region.type = record.roiType[d][r];
    region.failed = !view.roiOk[d][r];
    switch (region.type) {
    case kRoiRect:
        region.rect = record.rects[d][r].imageRect;
        break;
    case kRoiCircle:
        region.circle = record.circles[d][r];
        break;
    default:
        region.points = record.polygons[d][r].ipts;
        break;
    }
    if (region.failed) {
        const AlarmRect* boxes = view.alarmRects[d][r];
        for (int k = 1; k <= std::clamp(boxes[0].x1, 0, kMaxBoxes); ++k)
            region.boxes.emplace_back(QPoint(boxes[k].x1, boxes[k].y1), QPoint(boxes[k].x2 - 1, boxes[k].y2 - 1));
    }
    region.label = ResultImage::RegionLabel(record, d, r, view.roiValue[d][r]);
    return region;
}

}  // namespace

QString ResultImage::AlarmDir(int camera, int step, int kind)
{
    return QStringLiteral("%1//camera%2//detect%3//%4")
        .arg(QStringLiteral("./alarmimage"))
        .arg(camera + 1)
        .arg(step + 1)
        .arg(kind == kPictureNg ? QStringLiteral("NG") : QStringLiteral("OK"));
}

QString ResultImage::RegionLabel(const CammerSingleton& record, int d, int r, int value)
{
    if (std::clamp(record.roiNum[d], 0, kMaxRegions) > kLimitLabels)
        return QStringLiteral("%1: %2").arg(r + 1).arg(value);
    return QStringLiteral("%1: %2 / %3 ").arg(r + 1).arg(LimitText(record, d, r)).arg(value);
}

void ResultImage::SaveFailImage(CameraWorkSet& view, int d, int kind, bool doorCycle)
{
    ResultPictureOrder order;
    QImage canvas;
    if (Order(view, d, kind, doorCycle, &order))
        Draw(order, canvas);
}

bool ResultImage::Order(const CameraWorkSet& view, int d, int kind, bool doorCycle, ResultPictureOrder* order)
{
    if (!ValidSlot(view.cameraIndex, d, kind) || view.imageWork.empty() || !view.liveRecord)
        return false;
    order->camera = view.cameraIndex;
    order->d = d;
    order->kind = kind;
    order->doorCycle = doorCycle;
    order->frame = view.imageWork;
    order->circleScaleX = 1.0 / gShowAW;
    order->circleScaleY = 1.0 / gShowAH;
    const int count = std::clamp(view.liveRecord->roiNum[d], 0, kMaxRegions);
    order->regions.clear();
    order->regions.reserve(size_t(count));
    for (int r = 0; r < count; ++r)
        order->regions.push_back(RegionOf(view, d, r));
    return true;
}

void ResultImage::Draw(const ResultPictureOrder& order, QImage& canvas)
{
    const cv::Mat& frame = order.frame;
    if (canvas.width() != frame.cols || canvas.height() != frame.rows || canvas.format() != QImage::Format_RGB32)
        canvas = QImage(frame.cols, frame.rows, QImage::Format_RGB32);
    ConvertToRgb32(frame, canvas);
    NoteFirstFailure(order);
    {
        QPainter painter(&canvas);
        painter.setFont(PictureFont(kVerdictPixels));
        painter.setPen(order.kind == kPictureNg ? Qt::red : Qt::green);
        painter.drawText(kVerdictAt, order.kind == kPictureNg ? QStringLiteral("NG") : QStringLiteral("OK"));
        painter.drawText(kCaptionAt, order.doorCycle ? LanStr(kTextDoorCycle) : QString());
        DrawRegions(painter, order);
    }
    StorePending(canvas, order.camera, order.d, order.kind);
}

void ResultImage::UpdateFailImage(int camera, int d, int kind, int* imageState)
{
    if (ValidSlot(camera, d, kind))
        DrawClearCaption(camera, d, kind, ClearCaption(imageState));
}

QString ResultImage::ClearCaption(int* imageState)
{
    for (const ClearCaptionText& c : kClearCaptions) {
        if (c.state == *imageState) {
            *imageState = c.next;
            return Text(c.second) + Text(c.first);
        }
    }
    return QString();
}

void ResultImage::DrawClearCaption(int camera, int d, int kind, const QString& caption)
{
    if (!ValidSlot(camera, d, kind))
        return;
    PendingPicture pending;
    {
        QMutexLocker lock(pMutexSaveFail);
        pending = gpFailImage[camera][d][kind];
    }
    if (pending.isNull())
        return;
    QImage picture = pending.picture().convertToFormat(QImage::Format_RGB32);   // painted as when it was made
    {
        QPainter painter(&picture);
        painter.setFont(PictureFont(kVerdictPixels));
        painter.setPen(Qt::red);
        painter.drawText(kClearMethodAt, caption);
    }
    StorePending(picture, camera, d, kind);
}
