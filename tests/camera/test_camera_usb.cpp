// USB cameras through FFmpeg: FFmpeg's own test source stands in for the
// video node and runs through the contrast/gamma/sharpness filter graph and
// the conversion into the program's geometry.

#include "tests/camera/camerafixture.h"

#include "camera/usbinput.h"
#include "core/wizardpara.h"

#include <QFile>

extern "C" {
#include <libavutil/frame.h>
}

namespace {

class UsbPath : public CameraFixture
{
protected:
    // One USB camera listed by the kernel, read from the test source.
    void detectTestSource()
    {
        QFile list(work.file(QStringLiteral("devices")));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("N: Name=\"USB Camera\"\nN: Name=\"Keyboard\"\n");
        list.close();
        SetUsbInputOverride(QStringLiteral("lavfi"), QStringLiteral("testsrc=size=640x480:rate=30"));
        CheckCameraID();
        gImageLen = gImageW * gImageH;
        gColorLen = gImageLen * (gisColor ? 4 : 1);
        neutralImageSettings();
    }

    static AVFrame* greyFrame(int w, int h, uint8_t level)
    {
        AVFrame* f = av_frame_alloc();
        f->width = w;
        f->height = h;
        f->format = AV_PIX_FMT_GRAY8;
        av_frame_get_buffer(f, 0);
        for (int y = 0; y < h; ++y)
            memset(f->data[0] + static_cast<size_t>(y) * f->linesize[0], level, w);
        return f;
    }

    // Columns [x0, x1) and rows [y0, y1) hold the picture; the rest is black.
    static void expectPlaced(const cv::Mat& m, int x0, int y0, int x1, int y1)
    {
        EXPECT_EQ(cv::countNonZero(m.reshape(1, m.rows)), (x1 - x0) * (y1 - y0) * m.channels());
        for (const cv::Point p : {cv::Point(x0, y0), cv::Point(x1 - 1, y1 - 1)})
            EXPECT_NE(m.at<uchar>(p.y, p.x * m.channels()), 0) << p;
        if (x0 > 0) {
            EXPECT_EQ(m.at<uchar>(y0, (x0 - 1) * m.channels()), 0);
        }
        if (y0 > 0) {
            EXPECT_EQ(m.at<uchar>(y0 - 1, x0 * m.channels()), 0);
        }
    }
};

TEST_F(UsbPath, TestSourceFramesArriveCentredInTheProgramsGeometry)
{
    CommandRecorder commands;   // the copy of the kernel's list is only recorded
    detectTestSource();
    ASSERT_EQ(gCameraID, kCameraUsb);
    EXPECT_EQ(gFindCamera, 1);
    ASSERT_EQ(gImageW, 960);
    ASSERT_EQ(gImageH, 540);
    startViews(1);
    std::vector<uint8_t> raw;
    ASSERT_TRUE(waitFrame(0, &raw));
    const cv::Mat frame(540, 960, CV_8UC1, raw.data());
    // 640 x 480 lands at (160, 30) on black.
    EXPECT_EQ(cv::countNonZero(frame(cv::Rect(0, 0, 960, 30))), 0);
    EXPECT_EQ(cv::countNonZero(frame(cv::Rect(0, 0, 160, 540))), 0);
    EXPECT_EQ(cv::countNonZero(frame(cv::Rect(800, 0, 160, 540))), 0);
    EXPECT_EQ(cv::countNonZero(frame(cv::Rect(0, 510, 960, 30))), 0);
    EXPECT_GT(cv::countNonZero(frame(cv::Rect(160, 30, 640, 480))), 640 * 480 / 2);
    EXPECT_TRUE(commands.lines().contains(QStringLiteral("cp -f /proc/bus/input/devices .")));
}

TEST_F(UsbPath, ColourModeDeliversTheGreyGraphOutputAsRgba)
{
    gisColor = 1;
    detectTestSource();
    startViews(1);
    std::vector<uint8_t> raw;
    ASSERT_TRUE(waitFrame(0, &raw));
    ASSERT_EQ(raw.size(), 960u * 540u * 4u);
    const size_t inside = (static_cast<size_t>(270) * 960 + 480) * 4;
    EXPECT_EQ(raw[inside], raw[inside + 1]);
    EXPECT_EQ(raw[inside + 1], raw[inside + 2]);
    EXPECT_EQ(raw[inside + 3], 255);
    EXPECT_EQ(raw[3], 255);   // black border, opaque
}

TEST_F(UsbPath, FramesAreFittedToTheGeometry)
{
    gImageW = 960;
    gImageH = 540;
    struct Row {
        int w, h;
        int x0, y0, x1, y1;
    };
    const Row rows[] = {
        {640, 480, 160, 30, 800, 510},   // smaller: centred on black
        {1920, 1080, 0, 0, 960, 540},    // larger, same shape: the whole frame
        {1280, 1024, 142, 0, 817, 540},  // larger: scaled to 675 x 540, centred
        {2000, 400, 0, 174, 960, 366},   // wide: scaled to 960 x 192
    };
    for (int colour : {0, 1}) {
        gisColor = colour;
        for (const Row& r : rows) {
            AVFrame* f = greyFrame(r.w, r.h, 200);
            const cv::Mat m = avframe_to_cvmat(f);
            av_frame_free(&f);
            ASSERT_EQ(m.cols, 960);
            ASSERT_EQ(m.rows, 540);
            EXPECT_EQ(m.channels(), colour ? 3 : 1);
            SCOPED_TRACE(std::to_string(r.w) + "x" + std::to_string(r.h) + (colour ? " colour" : " grey"));
            expectPlaced(m, r.x0, r.y0, r.x1, r.y1);
        }
    }
    gisColor = 0;
}

TEST_F(UsbPath, AFailedRebuildKeepsTheWorkingGraph)
{
    UsbFrameFormat input;
    input.width = 64;
    input.height = 48;
    input.pixelFormat = AV_PIX_FMT_GRAY8;
    input.timeBase = AVRational{1, 30};
    input.aspectRatio = AVRational{1, 1};
    UsbFilterGraph graph;
    EXPECT_FALSE(graph.ready());
    ASSERT_GE(graph.build("eq=contrast=1.000000:gamma=1.000000,unsharp=5:5:0.000000", input), 0);
    EXPECT_LT(graph.build("eq=contrast=1.0:nosuchoption=3", input), 0);
    EXPECT_LT(graph.build("nosuchfilter", input), 0);
    ASSERT_TRUE(graph.ready());
    AVFrame* in = greyFrame(64, 48, 77);
    AVFrame* out = av_frame_alloc();
    for (int i = 0; i < 3; ++i) {
        in->pts = i;
        ASSERT_GE(graph.filter(in, out), 0) << i;
        EXPECT_EQ(out->format, AV_PIX_FMT_GRAY8);
        EXPECT_NEAR(out->data[0][24 * out->linesize[0] + 32], 77, 2);
        av_frame_unref(out);
    }
    av_frame_free(&in);
    av_frame_free(&out);
}

}  // namespace
