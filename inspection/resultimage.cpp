#include "inspection/resultimage.h"

#include "inspection/cameraworkset.h"
#include "inspection/imagehelpers.h"
#include "inspection/regionjudge.h"

#include "core/texttable.h"
#include "core/wizardpara.h"

#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <cstring>

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
struct ClearCaption {
    int state;
    int first;    // text entry, -1 none
    int second;
    int next;
};
const ClearCaption kClearCaptions[] = {
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
// them one by one.
void StorePending(const QImage& picture, int camera, int d, int kind)
{
    PendingPicture stored(picture);
    QMutexLocker lock(pMutexSaveFail);
    std::swap(gpFailImage[camera][d][kind], stored);
}

// The 32-bit picture of the view's aligned frame, in a picture of its own:
// result pictures are drawn off the GUI thread, which shows the view's
// pictures meanwhile.
QImage FramePicture(const CameraWorkSet& view)
{
    QImage picture(view.imageWork.cols, view.imageWork.rows, QImage::Format_RGB32);
    ConvertToRgb32(view.imageWork, picture);
    return picture;
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

// Draws region r's outline with the painter's pen; returns its label anchor.
QPoint DrawOutline(QPainter& painter, const CammerSingleton& record, int d, int r)
{
    switch (record.roiType[d][r]) {
    case kRoiRect:
        painter.drawRect(record.rects[d][r].imageRect);
        return record.rects[d][r].imageRect.topLeft();
    case kRoiCircle: {
        const Circle& circle = record.circles[d][r];
        painter.save();
        painter.scale(1.0 / gShowAW, 1.0 / gShowAH);
        circle.Draw(painter);
        painter.restore();
        return circle.imageRect.topLeft();
    }
    default: {
        const QVector<QPoint>& points = record.polygons[d][r].ipts;
        painter.drawPolygon(points.constData(), points.size(), Qt::OddEvenFill);
        return points.isEmpty() ? kVerdictAt : points.first();
    }
    }
}

void DrawRegions(QPainter& painter, CameraWorkSet& view, int d)
{
    const CammerSingleton& record = *view.liveRecord;
    const int count = std::clamp(record.roiNum[d], 0, kMaxRegions);
    painter.setFont(PictureFont(kLabelPixels));
    for (int r = 0; r < count; ++r) {
        const bool failed = !view.roiOk[d][r];
        const QPen pen(failed ? Qt::red : Qt::green);
        painter.setPen(pen);
        if (failed) {
            {
                QMutexLocker lock(pMutexSaveFail);
                if (gFailIndex[view.cameraIndex][d] == 0)
                    gFailIndex[view.cameraIndex][d] = r + 1;
            }
            const AlarmRect* boxes = view.alarmRects[d][r];
            for (int k = 1; k <= std::clamp(boxes[0].x1, 0, kMaxBoxes); ++k)
                painter.drawRect(QRect(QPoint(boxes[k].x1, boxes[k].y1), QPoint(boxes[k].x2 - 1, boxes[k].y2 - 1)));
        }
        const QPoint anchor = DrawOutline(painter, record, d, r);
        painter.setPen(pen);
        painter.drawText(QRect(anchor.x(), anchor.y() - kLabelLift, kLabelWidth, kLabelHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, ResultImage::RegionLabel(record, d, r, view.roiValue[d][r]));
    }
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
    if (!ValidSlot(view.cameraIndex, d, kind) || view.imageWork.empty() || !view.liveRecord)
        return;
    QImage picture = FramePicture(view);
    {
        QPainter painter(&picture);
        painter.setFont(PictureFont(kVerdictPixels));
        painter.setPen(kind == kPictureNg ? Qt::red : Qt::green);
        painter.drawText(kVerdictAt, kind == kPictureNg ? QStringLiteral("NG") : QStringLiteral("OK"));
        painter.drawText(kCaptionAt, doorCycle ? LanStr(kTextDoorCycle) : QString());
        DrawRegions(painter, view, d);
    }
    StorePending(picture, view.cameraIndex, d, kind);
}

void ResultImage::UpdateFailImage(int camera, int d, int kind, int* imageState)
{
    if (!ValidSlot(camera, d, kind))
        return;
    const ClearCaption* caption = nullptr;
    for (const ClearCaption& c : kClearCaptions) {
        if (c.state == *imageState)
            caption = &c;
    }
    if (caption)
        *imageState = caption->next;
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
        painter.drawText(kClearMethodAt, caption ? Text(caption->second) + Text(caption->first) : QString());
    }
    StorePending(picture, camera, d, kind);
}
