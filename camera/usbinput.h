#pragma once
// USB cameras through FFmpeg: where the input comes from (the kernel's video
// nodes, the simulated cameras, or a test's override), the filter graph that
// applies contrast, gamma and sharpness, and the conversion of a filtered
// frame to the program's geometry.

#include <QString>
#include <QtGlobal>
#include <opencv2/core.hpp>

#include <mutex>

extern "C" {
#include <libavutil/rational.h>
}

struct AVDictionary;
struct AVFilterContext;
struct AVFilterGraph;
struct AVFormatContext;
struct AVFrame;

// Test seam: every node opens this FFmpeg input instead (e.g. format "lavfi",
// url "testsrc=size=640x480:rate=30"). An empty format restores the nodes.
void SetUsbInputOverride(const QString& format, const QString& url);

// Opens video node `node` ("/dev/video<node>", input format "video4linux2").
// Returns 0 or a negative FFmpeg error; *context is null on failure.
int OpenUsbInput(int node, AVDictionary** options, AVFormatContext** context);
void CloseUsbInput(AVFormatContext** context);
// Index of the last video stream, or -1.
int LastVideoStream(const AVFormatContext* context);

// A filtered frame as an image of gImageH x gImageW (RGB24 in colour mode,
// GRAY8 otherwise): a smaller frame centred on black, a larger one scaled
// down to fit (aspect ratio kept) and centred.
cv::Mat avframe_to_cvmat(const AVFrame* frame);

// The decoded frames a filter graph is built for (taken once at opening, so
// that a rebuild on the GUI thread never reads the decoder the acquisition
// thread is using).
struct UsbFrameFormat {
    int width = 0;
    int height = 0;
    int pixelFormat = -1;
    AVRational timeBase{0, 1};       // the video stream's
    AVRational aspectRatio{0, 1};    // the decoder's sample aspect ratio
};

// The filter graph of one USB camera: buffer source "in" -> text -> buffer
// sink "out" (forced to GRAY8). A new graph is built aside and takes the old
// one's place only when complete; a failed build keeps the old graph.
class UsbFilterGraph
{
public:
    UsbFilterGraph() = default;
    ~UsbFilterGraph();
    Q_DISABLE_COPY(UsbFilterGraph)

    // Returns the FFmpeg status of the build.
    int build(const char* text, const UsbFrameFormat& input);
    // Pushes in (keeping the caller's reference) and pulls the filtered frame
    // into out; >= 0 when out holds a frame.
    int filter(AVFrame* in, AVFrame* out);
    bool ready();

private:
    std::mutex mutex;
    AVFilterGraph* filterGraph = nullptr;
    AVFilterContext* sourceContext = nullptr;
    AVFilterContext* sinkContext = nullptr;
};
