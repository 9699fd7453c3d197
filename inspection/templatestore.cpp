#include "inspection/templatestore.h"

#include "inspection/cameraworkset.h"
#include "inspection/inspectionhooks.h"
#include "inspection/regionbox.h"
#include "inspection/zeroframe.h"

#include <QFileInfo>
#include <QImage>
#include <QtDebug>
#include <opencv2/core.hpp>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kGreyDepth = 8;
constexpr int kColourDepth = 32;

int DepthOf(const CameraWorkSet& view)
{
    return view.IsColour() ? kColourDepth : kGreyDepth;
}

// Writes path and reports it to the network link once it is on disk.
bool WriteAndReport(const QString& path, const cv::Mat& frame)
{
    if (!TemplateStore::WriteFrame(path, frame)) {
        qWarning() << "templates: cannot write" << path;
        return false;
    }
    const InspectionHooks& hooks = gInspectionHooks();
    if (NetReportsOn() && hooks.sendTempPic)
        hooks.sendTempPic(QFileInfo(path).absoluteFilePath());
    return true;
}

// Template 0 of a step without a file: a bright centred rectangle, written
// byte by byte into the first w x h bytes of the frame (the rest stays 0).
cv::Mat CentrePicture(const CameraWorkSet& view)
{
    cv::Mat frame = view.NewFrame();
    if (frame.empty())
        return frame;
    frame.setTo(0);
    const int w = frame.cols, h = frame.rows;
    cv::Mat picture(h, w, CV_8UC1, frame.data);
    picture(cv::Rect(cv::Point(w / 4, h / 4), cv::Point(3 * w / 4 + 1, 3 * h / 4 + 1))).setTo(255);
    return frame;
}

bool IsStep(int step)
{
    return step >= 0 && step < kMaxDetects;
}

}  // namespace

QString TemplateStore::TemplatePath(int camera, int step, int slot)
{
    return QStringLiteral("./cammer%1%2/template%3.bmp").arg(camera + 1).arg(step + 1).arg(slot);
}

QString TemplateStore::IgnorePointPath(int camera, int step)
{
    return QStringLiteral("./cammer%1%2/ignorepoint.bmp").arg(camera + 1).arg(step + 1);
}

const QVector<QRgb>& TemplateStore::GreyColourTable()
{
    static const QVector<QRgb> table = [] {
        QVector<QRgb> t(256);
        for (int j = 0; j < 256; ++j)
            t[j] = qRgb(j, j, j);
        return t;
    }();
    return table;
}

bool TemplateStore::WriteFrame(const QString& path, const cv::Mat& frame)
{
    if (frame.empty() || (frame.type() != CV_8UC1 && frame.type() != CV_8UC4))
        return false;
    const bool grey = frame.type() == CV_8UC1;
    QImage image(frame.cols, frame.rows, grey ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (grey)
        image.setColorTable(GreyColourTable());
    const size_t rowBytes = frame.cols * frame.elemSize();
    for (int y = 0; y < frame.rows; ++y)
        std::memcpy(image.scanLine(y), frame.ptr(y), rowBytes);
    return image.save(path);
}

cv::Mat TemplateStore::ReadFrame(const QString& path, int w, int h, int depth)
{
    QImage image;
    if (!image.load(path) || image.width() != w || image.height() != h || image.depth() != depth
        || (depth != kGreyDepth && depth != kColourDepth))
        return cv::Mat();
    cv::Mat frame(h, w, depth == kGreyDepth ? CV_8UC1 : CV_8UC4);
    const size_t rowBytes = frame.cols * frame.elemSize();
    for (int y = 0; y < h; ++y)
        std::memcpy(frame.ptr(y), image.constScanLine(y), rowBytes);
    return frame;
}

namespace {

// The step's template slots from their files (those with a picture in memory
// too unless keepInMemory); an empty slot 0 gets the centre picture.
void LoadStep(CameraWorkSet& view, int d, bool keepInMemory)
{
    const int w = view.imageWork.cols, h = view.imageWork.rows;
    const int slotCount = std::min(gTempNum, static_cast<int>(view.templates[d].size()));
    for (int t = 0; t < slotCount; ++t) {
        if (keepInMemory && !view.templates[d][t].empty())
            continue;
        view.ClearTemplate(d, t);
        const cv::Mat frame = TemplateStore::ReadFrame(TemplateStore::TemplatePath(view.cameraIndex, d, t), w, h,
                                                       DepthOf(view));
        if (!frame.empty())
            view.SetTemplate(d, t, frame);
    }
    if (slotCount > 0 && !view.templateFlags[d][0])
        view.SetTemplate(d, 0, CentrePicture(view));
}

}  // namespace

void TemplateStore::LoadTemplates(CameraWorkSet& view)
{
    for (int d = 0; d < std::min(gDNum, kMaxDetects); ++d)
        LoadStep(view, d, false);
}

void TemplateStore::LoadStepTemplates(CameraWorkSet& view, int step)
{
    if (IsStep(step))
        LoadStep(view, step, true);
}

void TemplateStore::ReleaseTemplates(CameraWorkSet& view, int step)
{
    if (!IsStep(step))
        return;
    for (cv::Mat& picture : view.templates[step])
        picture.release();
}

cv::Mat TemplateStore::ReferenceTemplate(const CameraWorkSet& view, int step)
{
    if (!IsStep(step))
        return cv::Mat();
    if (!view.templates[step].empty() && !view.templates[step][0].empty())
        return view.templates[step][0];
    return ReadFrame(TemplatePath(view.cameraIndex, step, 0), view.imageWork.cols, view.imageWork.rows,
                     DepthOf(view));
}

void TemplateStore::LoadIgnorePoint(CameraWorkSet& view)
{
    const int w = view.imageWork.cols, h = view.imageWork.rows;
    // Most steps have no ignore points: their frames cost no memory until
    // points are set.
    for (int d = 0; d < std::min(gDNum, kMaxDetects); ++d) {
        const cv::Mat points = ReadFrame(IgnorePointPath(view.cameraIndex, d), w, h, kGreyDepth);
        view.ignoreImage[d] = points.empty() || cv::countNonZero(points) == 0 ? ZeroFrame(cv::Size(w, h), CV_8UC1)
                                                                               : points;
    }
}

bool TemplateStore::SaveIgnorePoint(CameraWorkSet& view, int step)
{
    if (!IsStep(step))
        return false;
    if (view.ignoreImage[step].empty())
        view.ignoreImage[step] = ZeroFrame(view.imageWork.size(), CV_8UC1);
    return WriteAndReport(IgnorePointPath(view.cameraIndex, step), view.ignoreImage[step]);
}

bool TemplateStore::SaveTemplate(CameraWorkSet& view, int step, int slot)
{
    if (!IsStep(step) || slot < 0 || slot >= static_cast<int>(view.templates[step].size()))
        return false;
    return WriteAndReport(TemplatePath(view.cameraIndex, step, slot), view.templates[step][slot]);
}

bool TemplateStore::SaveReTrainImage(CameraWorkSet& view, int step)
{
    if (!IsStep(step) || view.templates[step].empty())
        return false;
    view.frames.Detach(view.imageWork);   // a result picture may still read the last one
    view.imageRaw.copyTo(view.imageWork);
    view.frames.Detach(view.imageShow);
    view.imageWork.copyTo(view.imageShow);
    view.imageWork.copyTo(view.templates[step][0]);
    return SaveTemplate(view, step, 0);
}

void TemplateStore::DeleteROI(CameraWorkSet& view, int d, int r)
{
    if (!IsStep(d) || !view.editRecord || r < 0 || r >= kMaxRegions)
        return;
    CammerSingleton& record = *view.editRecord;
    const int type = record.roiType[d][r];
    cv::Mat& points = view.ignoreImage[d];
    if ((type == kRoiRect || type == kRoiPolygon || type == kRoiCircle) && !points.empty()) {
        const cv::Rect inFrame = RegionBox(record.ImageBox(d, r)) & cv::Rect(cv::Point(), points.size());
        if (!inFrame.empty())
            points(inFrame).setTo(0);
    }
    SaveIgnorePoint(view, d);
    const int count = std::clamp(record.roiNum[d], 0, kMaxRegions);
    if (r >= count)
        return;
    for (int i = r; i < count - 1; ++i) {
        switch (record.roiType[d][i + 1]) {
        case kRoiRect:
            record.rects[d][i] = record.rects[d][i + 1];
            break;
        case kRoiCircle:
            record.circles[d][i] = record.circles[d][i + 1];
            break;
        default:
            record.polygons[d][i] = record.polygons[d][i + 1];
            break;
        }
        view.editMasks[d][i] = view.editMasks[d][i + 1];
        record.minWH[d][i] = record.minWH[d][i + 1];
        record.roiType[d][i] = record.roiType[d][i + 1];
        record.sensitivity[d][i] = record.sensitivity[d][i + 1];
        record.area[d][i] = record.area[d][i + 1];
        record.func[d][i] = record.func[d][i + 1];
        if (d == 0)
            record.outN[i] = record.outN[i + 1];
    }
    record.roiNum[d] = count - 1;
}
