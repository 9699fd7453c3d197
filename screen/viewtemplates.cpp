#include "screen/viewtemplates.h"

#include "screen/viewworkset.h"

#include <QImage>
#include <opencv2/core.hpp>

#include <cstring>

namespace {

constexpr int kGreyDepth = 8;
constexpr int kColourDepth = 32;

const QVector<QRgb>& greyTable()
{
    static const QVector<QRgb> table = [] {
        QVector<QRgb> t(256);
        for (int j = 0; j < 256; ++j)
            t[j] = qRgb(j, j, j);
        return t;
    }();
    return table;
}

cv::Mat centrePicture(const ViewWorkSet& view)
{
    cv::Mat frame = view.NewFrame();
    frame.setTo(0);
    const int w = frame.cols, h = frame.rows;
    cv::Mat picture(h, w, CV_8UC1, frame.data);
    picture(cv::Rect(cv::Point(w / 4, h / 4), cv::Point(3 * w / 4 + 1, 3 * h / 4 + 1))).setTo(255);
    return frame;
}

}  // namespace

QString TemplateFile(int camera, int step, int slot)
{
    return QStringLiteral("./cammer%1%2/template%3.bmp").arg(camera + 1).arg(step + 1).arg(slot);
}

cv::Mat ReadFrame(const QString& path, int w, int h, int depth)
{
    QImage picture;
    if (!picture.load(path, "BMP") || picture.width() != w || picture.height() != h || picture.depth() != depth)
        return cv::Mat();
    cv::Mat frame(h, w, depth == kColourDepth ? CV_8UC4 : CV_8UC1);
    const size_t row = size_t(w) * size_t(depth / 8);
    for (int y = 0; y < h; ++y)
        std::memcpy(frame.ptr(y), picture.constScanLine(y), row);
    return frame;
}

bool WriteFrame(const QString& path, const cv::Mat& frame)
{
    if (frame.empty() || (frame.type() != CV_8UC1 && frame.type() != CV_8UC4))
        return false;
    const bool colour = frame.type() == CV_8UC4;
    QImage picture(frame.cols, frame.rows, colour ? QImage::Format_RGB32 : QImage::Format_Indexed8);
    if (!colour)
        picture.setColorTable(greyTable());
    const size_t row = size_t(frame.cols) * frame.elemSize();
    for (int y = 0; y < frame.rows; ++y)
        std::memcpy(picture.scanLine(y), frame.ptr(y), row);
    return picture.save(path, "BMP");
}

void LoadTemplates(ViewWorkSet& view)
{
    const int depth = view.IsColour() ? kColourDepth : kGreyDepth;
    const int w = view.imageWork.cols, h = view.imageWork.rows;
    for (int d = 0; d < gDNum && d < kMaxDetects; ++d) {
        const int slotCount = int(view.templates[d].size());
        for (int j = 0; j < slotCount; ++j) {
            const cv::Mat frame = ReadFrame(TemplateFile(view.cameraIndex, d, j), w, h, depth);
            if (!frame.empty())
                view.SetTemplate(d, j, frame);
        }
        if (slotCount > 0 && !view.templateFlags[d][0])
            view.SetTemplate(d, 0, centrePicture(view));
    }
}
