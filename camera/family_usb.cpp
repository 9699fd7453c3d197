// Family 9: USB cameras read through FFmpeg, filtered by the view's filter
// text (contrast, gamma, sharpness) and fitted to the program's geometry.

#include "camera/camerabackend.h"
#include "camera/cameradetect.h"
#include "camera/camerafamilies.h"
#include "camera/cameraglobals.h"
#include "camera/cameraunit.h"
#include "camera/framebuffer.h"
#include "camera/imagemapping.h"
#include "camera/usbinput.h"
#include "core/wizardpara.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 540;
constexpr int kLastNode = 63;

class UsbBackend : public CameraBackend
{
public:
    using CameraBackend::CameraBackend;
    ~UsbBackend() override { release(); }

    bool open(const char*) override
    {
        av_dict_set(&inputOptions, "framerate", "30", 0);
        int status = OpenUsbInput(position(), &inputOptions, &formatContext);
        for (int node = gFindCamera; status < 0 && node <= kLastNode; ++node)
            status = OpenUsbInput(node, &inputOptions, &formatContext);
        if (status < 0 || !openDecoder()) {
            release();
            return false;
        }
        return true;
    }

    void close() override { release(); }

    // Reads one packet; a picture that comes out of the decoder passes the
    // filter graph and is handed over. Pauses after a picture and after any
    // failure (a camera that stopped answering must not spin the thread).
    bool pass() override
    {
        if (av_read_frame(formatContext, packet) < 0)
            return true;
        if (packet->stream_index != videoStream) {
            av_packet_unref(packet);
            return false;
        }
        const int sent = avcodec_send_packet(codecContext, packet);
        av_packet_unref(packet);
        if (sent < 0)
            return true;
        bool picture = false;
        while (avcodec_receive_frame(codecContext, decodedFrame) >= 0) {
            picture = true;
            if (graph.filter(decodedFrame, filteredFrame) >= 0) {
                const cv::Mat image = avframe_to_cvmat(filteredFrame);
                FrameView view;
                view.data = image.data;
                view.width = image.cols;
                view.height = image.rows;
                view.stride = static_cast<int>(image.step);
                view.layout = image.channels() == 3 ? PixelLayout::Rgb24 : PixelLayout::Grey8;
                handOver(view);
                av_frame_unref(filteredFrame);
            }
            av_frame_unref(decodedFrame);
        }
        return picture;
    }

    void setContrast(int v) override
    {
        unit.filters.contrastFilter = UsbContrastFilter(v);
        rebuild();
    }

    void setGamma(int v) override
    {
        unit.filters.gammaFilter = UsbGammaFilter(v);
        rebuild();
    }

    void setSharp(int v) override
    {
        unit.filters.sharpFilter = UsbSharpFilter(v);
        rebuild();
    }

    // The settings screen moves its sliders to these values afterwards, which
    // rebuilds the graph through the setters.
    void restoreDefaults(WizardPara& bak) override
    {
        const int p = position();
        bak.contrast[p] = kUsbDefaultContrast;
        bak.gamma[p] = kUsbDefaultGamma;
        bak.sharp[p] = kUsbDefaultSharp;
        unit.filters.setAll(kUsbDefaultContrast, kUsbDefaultGamma, kUsbDefaultSharp);
    }

    int init_filters(const char* text)
    {
        return graph.build(text, frameFormat);
    }

private:
    bool openDecoder()
    {
        if (avformat_find_stream_info(formatContext, nullptr) < 0)
            return false;
        videoStream = LastVideoStream(formatContext);
        if (videoStream < 0)
            return false;
        const AVCodecParameters* parameters = formatContext->streams[videoStream]->codecpar;
        decoder = avcodec_find_decoder(parameters->codec_id);
        codecContext = decoder ? avcodec_alloc_context3(decoder) : nullptr;
        if (!codecContext || avcodec_parameters_to_context(codecContext, parameters) < 0
            || avcodec_open2(codecContext, decoder, nullptr) < 0)
            return false;
        frameFormat.width = codecContext->width;
        frameFormat.height = codecContext->height;
        frameFormat.pixelFormat = codecContext->pix_fmt;
        frameFormat.timeBase = formatContext->streams[videoStream]->time_base;
        frameFormat.aspectRatio = codecContext->sample_aspect_ratio;
        decodedFrame = av_frame_alloc();
        filteredFrame = av_frame_alloc();
        packet = av_packet_alloc();
        return decodedFrame && filteredFrame && packet;
    }

    void rebuild() { init_filters(unit.filters.joined().toUtf8().constData()); }

    void release()
    {
        av_packet_free(&packet);
        av_frame_free(&decodedFrame);
        av_frame_free(&filteredFrame);
        avcodec_free_context(&codecContext);
        if (formatContext)
            CloseUsbInput(&formatContext);
        av_dict_free(&inputOptions);
    }

    AVFormatContext* formatContext = nullptr;
    int videoStream = -1;
    AVCodecContext* codecContext = nullptr;
    const AVCodec* decoder = nullptr;
    AVFrame* decodedFrame = nullptr;
    AVFrame* filteredFrame = nullptr;
    AVPacket* packet = nullptr;
    AVDictionary* inputOptions = nullptr;
    UsbFrameFormat frameFormat;
    UsbFilterGraph graph;
};

}  // namespace

bool DetectUsb()
{
    gFindCamera = CheckUSBCameraNum();
    if (gFindCamera < 1)
        return false;
    AVFormatContext* context = nullptr;
    if (OpenUsbInput(0, nullptr, &context) < 0)
        return false;
    const bool found = avformat_find_stream_info(context, nullptr) >= 0 && LastVideoStream(context) >= 0;
    CloseUsbInput(&context);
    if (!found)
        return false;
    gCameraID = kCameraUsb;
    gImageW = kWidth;
    gImageH = kHeight;
    return true;
}

std::unique_ptr<CameraBackend> MakeUsbBackend(CameraUnit& unit)
{
    return std::make_unique<UsbBackend>(unit);
}
