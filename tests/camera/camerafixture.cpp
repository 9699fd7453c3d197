#include "tests/camera/camerafixture.h"

#include "camera/usbinput.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "tools/camera-sim/simrig.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <opencv2/imgcodecs.hpp>

#include <cstdlib>
#include <fstream>

namespace {

// The operation-record and warning texts the layer writes, when the full text
// table has not filled them.
void ensureText(int k, const char* english)
{
    if (LanStr(k, 1).isEmpty())
        gaLanStr[k][1] = QString::fromUtf8(english);
}

}  // namespace

void CameraFixture::SetUp()
{
    for (int i = 0; i < kMaxCameras; ++i) {
        if (!pMutex[i])
            pMutex[i] = new QMutex;
        isImageFill[i] = false;
        std::strcpy(gSerialNB[i], "0");
        gCamNO[i] = i;
        gContrast[i] = 0;
    }
    if (!gpWPara)
        gpWPara = new WizardPara;
    if (!gpWParaBak)
        gpWParaBak = new WizardPara;
    *gpWPara = WizardPara();
    *gpWParaBak = WizardPara();
    gLan = 1;
    ensureText(332, "The %1th Camera Lost, %2");
    ensureText(39, "Warning: The camera is unavailable, \r\n please check the connection!");
    gCameraID = 0;
    gFindCamera = 0;
    numCamera = 0;
    gisColor = 0;
    gisCut = 1;
    gisLost = 0;
    gLost = 0;
    gSensorColor = 0;
    cameraHooks() = CameraHooks();
    CameraHooks& h = cameraHooks();
    h.sleep = [](int) {};
    h.record = [this](const QString& text) { records << text; };
    h.warn = [this](const QString& text) { warnings << text; };
    h.clampInhibit = [this] { ++clamps; };
    h.cameraNg = [this](int view) { ngViews << view; };
    h.runState = [this] { return runState; };
    h.settingsShown = [this] { return settingsShown; };
    qunsetenv("MOULDMON_SIM_CAMERAS");
    simcam::Rig::instance().reload();
}

void CameraFixture::closeViews()
{
    units.clear();   // stops and closes every camera
    buffers.clear();
    numCamera = 0;
}

void CameraFixture::TearDown()
{
    closeViews();
    SetUsbInputOverride(QString(), QString());
    cameraHooks() = CameraHooks();
    qunsetenv("MOULDMON_SIM_CAMERAS");
    qunsetenv("MOULDMON_SIM_NOISE");
    simcam::Rig::instance().reload();
}

std::string CameraFixture::simPath() const
{
    return work.file(QStringLiteral("simcams")).toStdString();
}

std::string CameraFixture::Serial(int cam)
{
    return "SIMSERIAL0" + std::to_string(cam);
}

cv::Vec3b CameraFixture::Colour(int cam)
{
    return cv::Vec3b(static_cast<uchar>(20 + 50 * cam), static_cast<uchar>(200 - 40 * cam), 90);
}

void CameraFixture::makeSim(int family, int count, cv::Size size, bool colour)
{
    QDir().mkpath(QString::fromStdString(simPath()));
    std::ofstream(simPath() + "/family") << family << '\n';
    for (int cam = 0; cam < count; ++cam) {
        QDir().mkpath(QString::fromStdString(simPath() + "/cam" + std::to_string(cam)));
        std::ofstream(simPath() + "/cam" + std::to_string(cam) + "/serial") << Serial(cam) << '\n';
        const cv::Mat frame = colour ? cv::Mat(size, CV_8UC3, cv::Scalar(Colour(cam)))
                                     : cv::Mat(size, CV_8UC1, cv::Scalar(Level(cam)));
        writeFrame(cam, frame);
    }
}

void CameraFixture::writeFrame(int cam, const cv::Mat& frame)
{
    const std::string dir = simPath() + "/cam" + std::to_string(cam) + "/";
    ASSERT_TRUE(cv::imwrite(dir + "next.png", frame));
    ASSERT_EQ(std::rename((dir + "next.png").c_str(), (dir + "frame.png").c_str()), 0);
}

void CameraFixture::setOffline(int cam, bool offline)
{
    const std::string path = simPath() + "/cam" + std::to_string(cam) + "/offline";
    if (offline)
        std::ofstream(path) << "unplugged\n";
    else
        std::remove(path.c_str());
}

void CameraFixture::neutralImageSettings()
{
    for (int i = 0; i < kMaxCameras; ++i) {
        gpWPara->contrast[i] = gCameraID == kCameraUsb ? 150 : 50;
        gpWPara->gamma[i] = 23;
        gpWPara->sharp[i] = 0;
    }
}

void CameraFixture::detect()
{
    qputenv("MOULDMON_SIM_CAMERAS", QByteArray::fromStdString(simPath()));
    simcam::Rig::instance().reload();
    CheckCameraID();
    gImageLen = gImageW * gImageH;
    gColorLen = gImageLen * (gisColor ? 4 : 1);
    neutralImageSettings();
}

CameraUnit& CameraFixture::openView(int i)
{
    while (static_cast<int>(buffers.size()) <= i)
        buffers.push_back(std::make_unique<CameraFrameBuffer>());
    while (static_cast<int>(units.size()) <= i)
        units.push_back(nullptr);
    buffers[i]->allocate(gImageW, gImageH, gisColor != 0);
    if (!units[i])
        units[i] = std::make_unique<CameraUnit>(i, buffers[i].get());
    units[i]->CameraOpen();
    if (units[i]->cameraOpen())
        ++numCamera;
    return *units[i];
}

void CameraFixture::startViews(int n)
{
    for (int i = 0; i < n; ++i)
        openView(i);
    for (int i = 0; i < n; ++i)
        units[i]->CameraStart();
}

bool CameraFixture::waitFrame(int i, std::vector<uint8_t>* raw, int ms)
{
    raw->assign(buffers[i]->size(), 0);
    return WaitFor([&] { return TakeNewestFrame(i, *buffers[i], raw->data(), raw->size()); }, ms);
}

uint8_t CameraFixture::centre(const std::vector<uint8_t>& raw, int channel) const
{
    const size_t pixel = static_cast<size_t>(gImageH / 2) * gImageW + gImageW / 2;
    return raw[pixel * (gisColor ? 4 : 1) + channel];
}

bool CameraFixture::waitSilent(int i, int quietMs, int ms)
{
    std::vector<uint8_t> raw(buffers[i]->size());
    QElapsedTimer total, quiet;
    total.start();
    quiet.start();
    while (total.elapsed() < ms) {
        if (TakeNewestFrame(i, *buffers[i], raw.data(), raw.size()))
            quiet.restart();
        else if (quiet.elapsed() >= quietMs)
            return true;
        WaitFor([] { return false; }, 10);
    }
    return false;
}

bool CameraFixture::called(const std::string& line) const
{
    for (const std::string& c : simcam::Rig::instance().calls())
        if (c == line)
            return true;
    return false;
}

int CameraFixture::countCalls(const std::string& prefix) const
{
    int n = 0;
    for (const std::string& c : simcam::Rig::instance().calls())
        if (c.compare(0, prefix.size(), prefix) == 0)
            ++n;
    return n;
}
