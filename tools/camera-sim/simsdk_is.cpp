// Family 5 stand-in over the simulated camera source.

#include "camera/sdk/idssdk.h"
#include "tools/camera-sim/simsession.h"

#include <cstring>
#include <vector>

using namespace simcam;

namespace {

constexpr int kFamily = 5;

struct Memory {
    std::vector<char> bytes;
    int width = 0;
    int height = 0;
};

// Image memories and the capture of one opened camera.
struct Capture {
    std::mutex mutex;
    std::map<int32_t, std::unique_ptr<Memory>> memories;
    Memory* active = nullptr;
    IsSize aoi;
    int32_t nextId = 1;
    Pusher pusher;
};

SessionTable& table()
{
    static SessionTable t;
    return t;
}

StateTable<Capture>& captures()
{
    static StateTable<Capture> c;
    return c;
}

std::shared_ptr<Capture> capture(IsHandle camera)
{
    return captures().get(static_cast<int>(camera));
}

SessionPtr live(IsHandle camera)
{
    return table().live(static_cast<int>(camera));
}

void log(const char* function, const SessionPtr& s, const std::string& args = std::string())
{
    Rig::instance().log(Call(function, s->cam, args));
}

// Writes the newest image into the active memory, as the capture does.
void store(Capture& c, const cv::Mat& frame, uint64_t number)
{
    const cv::Mat grey = Grey(frame);
    std::lock_guard<std::mutex> lock(c.mutex);
    Memory* m = c.active;
    if (!m || m->width != c.aoi.width || m->height != c.aoi.height)
        return;
    const cv::Mat window = Window(grey, 0, 0, m->width, m->height);
    if (window.empty())
        return;   // the sensor image does not cover the image size set
    for (int y = 0; y < window.rows; ++y)
        std::memcpy(m->bytes.data() + static_cast<size_t>(y) * m->width, window.ptr(y), m->width);
    Stamp(cv::Mat(m->height, m->width, CV_8UC1, m->bytes.data()), number);
}

}  // namespace

int is_GetNumberOfCameras(int32_t* count)
{
    if (!count)
        return kIsNoSuccess;
    *count = static_cast<int32_t>(Rig::instance().listed(kFamily).size());
    return kIsSuccess;
}

int is_InitCamera(IsHandle* camera, void* /*window*/)
{
    if (!camera)
        return kIsNoSuccess;
    const std::vector<int> cams = Rig::instance().listed(kFamily);
    const uint32_t id = *camera & ~kIsUseDeviceId;
    int cam = -1;
    if (id == 0) {
        for (int c : cams)
            if (!table().isOpen(c)) {
                cam = c;
                break;
            }
    } else if (id <= cams.size()) {
        cam = cams[id - 1];
    }
    const int handle = cam < 0 ? 0 : table().open(cam);
    if (!handle)
        return kIsCantOpen;
    *camera = static_cast<IsHandle>(handle);
    auto c = std::make_shared<Capture>();
    const cv::Size sensor = Rig::instance().sensorSize();
    c->aoi.width = sensor.width;
    c->aoi.height = sensor.height;
    captures().put(static_cast<int>(*camera), c);
    Rig::instance().log(Call("is_InitCamera", cam));
    return kIsSuccess;
}

int is_ExitCamera(IsHandle camera)
{
    SessionPtr s = table().find(static_cast<int>(camera));
    if (!s)
        return kIsInvalidHandle;
    std::shared_ptr<Capture> c = capture(camera);
    if (c)
        c->pusher.stop();
    captures().erase(static_cast<int>(camera));
    log("is_ExitCamera", s);
    table().close(static_cast<int>(camera));
    return kIsSuccess;
}

int is_GetSensorInfo(IsHandle camera, IsSensorInfo* info)
{
    SessionPtr s = live(camera);
    if (!s || !info)
        return kIsInvalidHandle;
    *info = IsSensorInfo();
    std::strncpy(info->sensorName, "SIM-SENSOR", sizeof info->sensorName - 1);
    const cv::Size sensor = Rig::instance().sensorSize();
    info->maxWidth = static_cast<uint32_t>(sensor.width);
    info->maxHeight = static_cast<uint32_t>(sensor.height);
    info->colourMode = Rig::instance().colour(s->cam) ? 1 : 0;
    return kIsSuccess;
}

int is_GetCameraInfo(IsHandle camera, IsCameraInfo* info)
{
    SessionPtr s = live(camera);
    if (!s || !info)
        return kIsInvalidHandle;
    *info = IsCameraInfo();
    std::strncpy(info->serial, Rig::instance().serial(s->cam).c_str(), sizeof info->serial - 1);
    std::strncpy(info->id, "SIM", sizeof info->id - 1);
    info->deviceId = static_cast<uint32_t>(s->cam + 1);
    return kIsSuccess;
}

int is_GetColorDepth(IsHandle camera, int32_t* bitsPerPixel, int32_t* colourMode)
{
    SessionPtr s = live(camera);
    if (!s || !bitsPerPixel || !colourMode)
        return kIsInvalidHandle;
    const bool colour = Rig::instance().colour(s->cam);
    *bitsPerPixel = colour ? 24 : 8;
    *colourMode = colour ? 1 : kIsColourMono8;
    return kIsSuccess;
}

int is_SetColorMode(IsHandle camera, int32_t mode)
{
    SessionPtr s = live(camera);
    if (!s)
        return kIsInvalidHandle;
    log("is_SetColorMode", s, std::to_string(mode));
    return mode == kIsColourMono8 ? kIsSuccess : kIsNoSuccess;
}

int is_AllocImageMem(IsHandle camera, int32_t width, int32_t height, int32_t bitsPerPixel, char** memory,
                     int32_t* memoryId)
{
    SessionPtr s = live(camera);
    std::shared_ptr<Capture> c = capture(camera);
    if (!s || !c || !memory || !memoryId || width <= 0 || height <= 0 || bitsPerPixel != 8)
        return kIsNoSuccess;
    auto m = std::make_unique<Memory>();
    m->bytes.assign(static_cast<size_t>(width) * height, 0);
    m->width = width;
    m->height = height;
    std::lock_guard<std::mutex> lock(c->mutex);
    *memory = m->bytes.data();
    *memoryId = c->nextId++;
    c->memories[*memoryId] = std::move(m);
    log("is_AllocImageMem", s, std::to_string(width) + " " + std::to_string(height) + " " + std::to_string(bitsPerPixel));
    return kIsSuccess;
}

int is_SetImageMem(IsHandle camera, char* memory, int32_t memoryId)
{
    std::shared_ptr<Capture> c = capture(camera);
    if (!live(camera) || !c)
        return kIsInvalidHandle;
    std::lock_guard<std::mutex> lock(c->mutex);
    const auto it = c->memories.find(memoryId);
    if (it == c->memories.end() || it->second->bytes.data() != memory)
        return kIsNoSuccess;
    c->active = it->second.get();
    return kIsSuccess;
}

int is_FreeImageMem(IsHandle camera, char* memory, int32_t memoryId)
{
    std::shared_ptr<Capture> c = capture(camera);
    if (!c)
        return kIsInvalidHandle;
    c->pusher.stop();   // nothing writes into a memory that is freed
    std::lock_guard<std::mutex> lock(c->mutex);
    const auto it = c->memories.find(memoryId);
    if (it == c->memories.end() || it->second->bytes.data() != memory)
        return kIsNoSuccess;
    if (c->active == it->second.get())
        c->active = nullptr;
    c->memories.erase(it);
    return kIsSuccess;
}

int is_AOI(IsHandle camera, uint32_t command, void* param, uint32_t size)
{
    SessionPtr s = live(camera);
    std::shared_ptr<Capture> c = capture(camera);
    if (!s || !c || command != kIsAoiSetSize || !param || size != sizeof(IsSize))
        return kIsNoSuccess;
    const IsSize* aoi = static_cast<const IsSize*>(param);
    {
        std::lock_guard<std::mutex> lock(c->mutex);
        c->aoi = *aoi;
    }
    log("is_AOI", s, std::to_string(command) + " " + std::to_string(aoi->width) + " " + std::to_string(aoi->height));
    return kIsSuccess;
}

int is_SetAutoParameter(IsHandle camera, int32_t param, double* value, double* /*value2*/)
{
    SessionPtr s = live(camera);
    if (!s || !value)
        return kIsInvalidHandle;
    log("is_SetAutoParameter", s, Hex(static_cast<uint32_t>(param)) + " " + Num(*value));
    return kIsSuccess;
}

int is_SetHardwareGamma(IsHandle camera, int32_t mode)
{
    SessionPtr s = live(camera);
    if (!s)
        return kIsInvalidHandle;
    log("is_SetHardwareGamma", s, std::to_string(mode));
    return kIsSuccess;
}

int is_PixelClock(IsHandle camera, uint32_t command, void* param, uint32_t size)
{
    SessionPtr s = live(camera);
    if (!s || command != kIsPixelClockSet || !param || size != sizeof(uint32_t))
        return kIsNoSuccess;
    log("is_PixelClock", s, std::to_string(command) + " " + std::to_string(*static_cast<uint32_t*>(param)));
    return kIsSuccess;
}

int is_CaptureVideo(IsHandle camera, int32_t /*wait*/)
{
    SessionPtr s = live(camera);
    std::shared_ptr<Capture> c = capture(camera);
    if (!s || !c)
        return kIsInvalidHandle;
    Capture* raw = c.get();
    c->pusher.start(s->cam, [raw](const cv::Mat& frame, uint64_t number) { store(*raw, frame, number); });
    log("is_CaptureVideo", s);
    return kIsSuccess;
}

int is_StopLiveVideo(IsHandle camera, int32_t wait)
{
    SessionPtr s = table().find(static_cast<int>(camera));
    std::shared_ptr<Capture> c = capture(camera);
    if (!s || !c)
        return kIsInvalidHandle;
    c->pusher.stop();
    log("is_StopLiveVideo", s, Hex(static_cast<uint32_t>(wait)));
    return kIsSuccess;
}

int is_Exposure(IsHandle camera, uint32_t command, void* param, uint32_t size)
{
    SessionPtr s = live(camera);
    if (!s || command != kIsExposureSet || !param || size != sizeof(double))
        return kIsNoSuccess;
    log("is_Exposure", s, std::to_string(command) + " " + Num(*static_cast<double*>(param)));
    return kIsSuccess;
}

int is_SetHardwareGain(IsHandle camera, int32_t master, int32_t red, int32_t green, int32_t blue)
{
    SessionPtr s = live(camera);
    if (!s)
        return kIsInvalidHandle;
    log("is_SetHardwareGain", s,
        std::to_string(master) + " " + std::to_string(red) + " " + std::to_string(green) + " " + std::to_string(blue));
    return kIsSuccess;
}

int is_Gamma(IsHandle camera, uint32_t command, void* param, uint32_t size)
{
    SessionPtr s = live(camera);
    if (!s || command != kIsGammaSet || !param || size != sizeof(int32_t))
        return kIsNoSuccess;
    log("is_Gamma", s, std::to_string(command) + " " + std::to_string(*static_cast<int32_t*>(param)));
    return kIsSuccess;
}
