#include "camera/usbinput.h"

#include "camera/sdk/standin.h"
#include "core/globals.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavdevice/avdevice.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <QByteArray>

#include <algorithm>
#include <utility>

namespace {

struct Override {
    std::mutex mutex;
    QByteArray format;
    QByteArray url;
};

Override& inputOverride()
{
    static Override o;
    return o;
}

void registerDevices()
{
    static std::once_flag once;
    std::call_once(once, [] {
        avdevice_register_all();
        // The automatic format conversions of the filter graph warn on every
        // frame; errors still reach the log.
        av_log_set_level(AV_LOG_ERROR);
    });
}

}  // namespace

void SetUsbInputOverride(const QString& format, const QString& url)
{
    Override& o = inputOverride();
    std::lock_guard<std::mutex> lock(o.mutex);
    o.format = format.toUtf8();
    o.url = url.toUtf8();
}

int OpenUsbInput(int node, AVDictionary** options, AVFormatContext** context)
{
    registerDevices();
    *context = nullptr;
    QByteArray format, url;
    {
        Override& o = inputOverride();
        std::lock_guard<std::mutex> lock(o.mutex);
        format = o.format;
        url = o.url;
    }
    if (format.isEmpty()) {
        if (standin::Active())
            return standin::OpenVideoNode(node, context);
        format = "video4linux2";
        url = QByteArray("/dev/video") + QByteArray::number(node);
    }
    const AVInputFormat* input = av_find_input_format(format.constData());
    if (!input)
        return AVERROR_DEMUXER_NOT_FOUND;
    return avformat_open_input(context, url.constData(), input, options);
}

void CloseUsbInput(AVFormatContext** context)
{
    if (!standin::CloseVideoNode(context))
        avformat_close_input(context);
}

int LastVideoStream(const AVFormatContext* context)
{
    int found = -1;
    for (unsigned i = 0; context && i < context->nb_streams; ++i)
        if (context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
            found = static_cast<int>(i);
    return found;
}

cv::Mat avframe_to_cvmat(const AVFrame* frame)
{
    const int channels = gisColor ? 3 : 1;
    cv::Mat result = cv::Mat::zeros(gImageH, gImageW, CV_8UC(channels));
    const int w = frame->width;
    const int h = frame->height;
    if (w <= 0 || h <= 0 || gImageW <= 0 || gImageH <= 0)
        return result;
    int tw = w, th = h;
    if (w > gImageW || h > gImageH) {
        const double scale = std::min(static_cast<double>(gImageW) / w, static_cast<double>(gImageH) / h);
        tw = std::clamp(static_cast<int>(w * scale), 1, gImageW);
        th = std::clamp(static_cast<int>(h * scale), 1, gImageH);
    }
    SwsContext* sws = sws_getContext(w, h, static_cast<AVPixelFormat>(frame->format), tw, th,
                                     gisColor ? AV_PIX_FMT_RGB24 : AV_PIX_FMT_GRAY8, SWS_FAST_BILINEAR, nullptr,
                                     nullptr, nullptr);
    if (!sws)
        return result;
    // The scaler may write a little past the end of each row: convert into a
    // padded image, then copy the picture into place.
    const int rowBytes = (tw * channels + 63) / 64 * 64 + 64;
    cv::Mat scaled(th, rowBytes, CV_8UC1);
    uint8_t* dst[4] = {scaled.data, nullptr, nullptr, nullptr};
    const int dstStride[4] = {static_cast<int>(scaled.step), 0, 0, 0};
    sws_scale(sws, frame->data, frame->linesize, 0, h, dst, dstStride);
    sws_freeContext(sws);
    const cv::Mat picture(th, tw, CV_8UC(channels), scaled.data, scaled.step);
    picture.copyTo(result(cv::Rect((gImageW - tw) / 2, (gImageH - th) / 2, tw, th)));
    return result;
}

UsbFilterGraph::~UsbFilterGraph()
{
    avfilter_graph_free(&filterGraph);
}

int UsbFilterGraph::build(const char* text, const UsbFrameFormat& input)
{
    const AVFilter* bufferSource = avfilter_get_by_name("buffer");
    const AVFilter* bufferSink = avfilter_get_by_name("buffersink");
    AVFilterInOut* outputs = avfilter_inout_alloc();
    AVFilterInOut* inputs = avfilter_inout_alloc();
    AVFilterGraph* graph = avfilter_graph_alloc();
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    int status = 0;
    if (!outputs || !inputs || !graph || !bufferSource || !bufferSink) {
        status = AVERROR(ENOMEM);
    } else {
        char args[512];
        snprintf(args, sizeof args, "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", input.width,
                 input.height, input.pixelFormat, input.timeBase.num, input.timeBase.den, input.aspectRatio.num,
                 input.aspectRatio.den);
        const enum AVPixelFormat grey[] = {AV_PIX_FMT_GRAY8, AV_PIX_FMT_NONE};
        if ((status = avfilter_graph_create_filter(&source, bufferSource, "in", args, nullptr, graph)) < 0) {
            av_log(nullptr, AV_LOG_ERROR, "Cannot create buffer source\n");
        } else if ((status = avfilter_graph_create_filter(&sink, bufferSink, "out", nullptr, nullptr, graph)) < 0) {
            av_log(nullptr, AV_LOG_ERROR, "Cannot create buffer sink\n");
        } else if ((status = av_opt_set_int_list(sink, "pix_fmts", grey, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN)) < 0) {
            av_log(nullptr, AV_LOG_ERROR, "Cannot set output pixel format\n");
        } else {
            outputs->name = av_strdup("in");
            outputs->filter_ctx = source;
            outputs->pad_idx = 0;
            outputs->next = nullptr;
            inputs->name = av_strdup("out");
            inputs->filter_ctx = sink;
            inputs->pad_idx = 0;
            inputs->next = nullptr;
            status = avfilter_graph_parse_ptr(graph, text, &inputs, &outputs, nullptr);
            if (status >= 0)
                status = avfilter_graph_config(graph, nullptr);
        }
    }
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    if (status < 0) {
        av_log(nullptr, AV_LOG_ERROR, "Filter graph \"%s\" not built; the previous one stays\n", text);
        avfilter_graph_free(&graph);
        return status;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::swap(filterGraph, graph);
        sourceContext = source;
        sinkContext = sink;
    }
    avfilter_graph_free(&graph);   // the one just replaced
    return status;
}

int UsbFilterGraph::filter(AVFrame* in, AVFrame* out)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!filterGraph)
        return AVERROR(EINVAL);
    const int status = av_buffersrc_add_frame_flags(sourceContext, in, AV_BUFFERSRC_FLAG_KEEP_REF);
    if (status < 0)
        return status;
    return av_buffersink_get_frame(sinkContext, out);
}

bool UsbFilterGraph::ready()
{
    std::lock_guard<std::mutex> lock(mutex);
    return filterGraph != nullptr;
}
