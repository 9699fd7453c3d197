#include "tools/camera-sim/simvideonode.h"
#include "tools/camera-sim/simrig.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <cstring>
#include <mutex>
#include <set>
#include <vector>

namespace simcam {

namespace {

constexpr int kFamily = 9;
constexpr int kIoBufferSize = 1 << 16;
// The reading end of one simulated video node: whole frames, byte by byte.
struct Node {
    int cam = -1;
    cv::Size size;
    int channels = 1;
    uint64_t last = 0;
    std::vector<uint8_t> frame;
    size_t pos = 0;
};

// The readers of the inputs this file opened.
std::mutex& nodesMutex()
{
    static std::mutex m;
    return m;
}

std::set<AVIOContext*>& nodes()
{
    static std::set<AVIOContext*> s;
    return s;
}

bool nextFrame(Node* n)
{
    cv::Mat image;
    uint64_t number = 0;
    if (!Rig::instance().nextFrame(n->cam, n->last, 200, &image, &number))
        return false;
    n->last = number;
    if (image.size() != n->size || image.channels() != n->channels)
        return false;   // a frame of another size than the stream carries is dropped
    n->frame.assign(image.data, image.data + image.total() * image.elemSize());
    Stamp(cv::Mat(image.rows, image.cols, image.type(), n->frame.data()), number);
    n->pos = 0;
    return true;
}

int readPacket(void* opaque, uint8_t* buf, int size)
{
    Node* n = static_cast<Node*>(opaque);
    if (n->pos >= n->frame.size() && !nextFrame(n))
        return AVERROR(EIO);
    const size_t count = std::min(static_cast<size_t>(size), n->frame.size() - n->pos);
    std::memcpy(buf, n->frame.data() + n->pos, count);
    n->pos += count;
    return static_cast<int>(count);
}

void freeIo(AVIOContext** io)
{
    if (!*io)
        return;
    delete static_cast<Node*>((*io)->opaque);
    av_freep(&(*io)->buffer);
    avio_context_free(io);
}

}  // namespace

std::string InputDeviceList()
{
    std::string text;
    for (int cam : Rig::instance().listed(kFamily)) {
        text += "I: Bus=0003 Vendor=0000 Product=0000 Version=0000\n";
        text += "N: Name=\"Simulated WebCam " + std::to_string(cam) + "\"\n";
        text += "P: Phys=usb-sim-" + std::to_string(cam) + "/input0\n";
        text += "H: Handlers=kbd event" + std::to_string(cam) + "\n\n";
    }
    return text;
}

int OpenVideoNode(int node, AVFormatContext** context)
{
    *context = nullptr;
    Rig& rig = Rig::instance();
    if (rig.family() != kFamily || !rig.online(node))
        return AVERROR(ENOENT);
    const cv::Size size = rig.sensorSize();
    if (size.empty())
        return AVERROR(ENOENT);
    Node* n = new Node;
    n->cam = node;
    n->size = size;
    n->channels = rig.colour(node) ? 3 : 1;
    uint8_t* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
    AVIOContext* io = buffer ? avio_alloc_context(buffer, kIoBufferSize, 0, n, readPacket, nullptr, nullptr) : nullptr;
    AVFormatContext* ctx = io ? avformat_alloc_context() : nullptr;
    if (!ctx) {
        if (io)
            freeIo(&io);
        else {
            av_free(buffer);
            delete n;
        }
        return AVERROR(ENOMEM);
    }
    ctx->pb = io;
    ctx->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVDictionary* options = nullptr;
    const std::string videoSize = std::to_string(size.width) + "x" + std::to_string(size.height);
    av_dict_set(&options, "video_size", videoSize.c_str(), 0);
    av_dict_set(&options, "pixel_format", n->channels == 3 ? "bgr24" : "gray", 0);
    av_dict_set(&options, "framerate", std::to_string(kFrameRate).c_str(), 0);
    const int status = avformat_open_input(&ctx, "", av_find_input_format("rawvideo"), &options);
    av_dict_free(&options);
    if (status < 0) {   // avformat_open_input freed the context but not our reader
        freeIo(&io);
        return status;
    }
    {
        std::lock_guard<std::mutex> lock(nodesMutex());
        nodes().insert(io);
    }
    rig.log(Call("open /dev/video", node));
    *context = ctx;
    return 0;
}

bool CloseVideoNode(AVFormatContext** context)
{
    AVIOContext* io = *context ? (*context)->pb : nullptr;
    {
        std::lock_guard<std::mutex> lock(nodesMutex());
        if (!io || !nodes().erase(io))
            return false;
    }
    avformat_close_input(context);
    freeIo(&io);
    return true;
}

}  // namespace simcam
