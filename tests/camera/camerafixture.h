#pragma once
// A simulated cameras folder in the test's working directory, the camera
// layer's globals and hooks reset, and views (a CameraUnit over its incoming
// frame buffer) opened on demand.

#include "camera/cameradetect.h"
#include "camera/cameraglobals.h"
#include "camera/camerahooks.h"
#include "camera/cameraunit.h"
#include "camera/framebuffer.h"
#include "tests/common/testsupport.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <memory>
#include <string>
#include <vector>

class CameraFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The folder: family, cameras cam0.. with serial "SIMSERIAL0N" and a
    // uniform frame of grey level Level(n) (or colour Colour(n)).
    void makeSim(int family, int count, cv::Size size = cv::Size(1280, 1024), bool colour = false);
    static std::string Serial(int cam);
    static int Level(int cam) { return 40 + 30 * cam; }
    static cv::Vec3b Colour(int cam);   // B, G, R
    // Replaces the camera's frame the way a test must: write aside, rename.
    void writeFrame(int cam, const cv::Mat& frame);
    void setOffline(int cam, bool offline);
    std::string simPath() const;
    // The cameras deliver their files' exact pixels, without sensor noise
    // (for checks of single pixel values); call before detect().
    static void exactFrames() { qputenv("MOULDMON_SIM_NOISE", "0"); }

    // Image settings under which frames pass unchanged: software contrast
    // factor 0 (family 4), eq contrast 1 and gamma about 1, no sharpening (USB).
    static void neutralImageSettings();
    // Points the rig at the folder, runs detection and makes the image
    // settings neutral.
    void detect();
    // Builds view i (buffer of the program's geometry) and opens its camera;
    // an opened camera counts in numCamera.
    CameraUnit& openView(int i);
    // Destroys every view (its camera stopped and closed).
    void closeViews();
    // Opens views 0..n-1 and starts them.
    void startViews(int n);
    // Takes the newest frame of view i into raw, waiting up to ms.
    bool waitFrame(int i, std::vector<uint8_t>* raw, int ms = 3000);
    // Grey level (or B, G, R, A) at the frame's centre.
    uint8_t centre(const std::vector<uint8_t>& raw, int channel = 0) const;
    // Waits until no frame arrives at view i for quietMs (bounded by ms).
    bool waitSilent(int i, int quietMs, int ms = 4000);

    bool called(const std::string& line) const;
    int countCalls(const std::string& prefix) const;

    TempWorkDir work;
    std::vector<std::unique_ptr<CameraFrameBuffer>> buffers;
    std::vector<std::unique_ptr<CameraUnit>> units;
    QStringList records;
    QStringList warnings;
    int clamps = 0;
    QList<int> ngViews;
    int runState = 0;
    bool settingsShown = false;
};
