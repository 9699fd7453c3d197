// A camera lost while detection runs: after five seconds without a frame the
// clamp is inhibited, the loss is recorded and the cameras are restarted
// every three seconds until the camera is back; then cycles run again.

#include "tests/e2e/e2efixture.h"

#include <QFile>
#include <QThread>

using namespace e2e;

namespace {
class CameraLoss : public EndToEnd
{
};
}  // namespace

TEST_F(CameraLoss, CameraLostWhileDetectingAndBack)
{
    start(2);
    const QString offline = file("simcams/cam1/offline");
    writeFile("simcams/cam1/offline", "");

    QList<int> words = wordsUntil(0x0F1);
    EXPECT_EQ(words, QList<int>{0x0F1}) << Words(words);
    EXPECT_TRUE(WaitFor([&] { return records().contains("The 1th Camera Lost, 2"); }, kWaitMs));

    ASSERT_TRUE(QFile::remove(offline));
    EXPECT_TRUE(WaitFor([&] { return records().contains("Camera Restart"); }, kWaitMs));
    setFrame(0, kNoPatch);   // the frames flow again
    board("set 0");
    words = wordsUntil(0x0F0);
    EXPECT_EQ(words, (QList<int>{0x0F3, 0x0F1, 0x0F0})) << Words(words);
    EXPECT_TRUE(countsBecome("1 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 "));
}

// A frame of another size than the camera's cannot be judged: the cycle is NG
// for that camera (clamp inhibited, alarm) and the record names the camera
// and the cause; the older good frame is never judged in its place.
TEST_F(CameraLoss, FrameOfAnotherSizeIsNg)
{
    start();
    ASSERT_TRUE(ReplaceFrame(file("simcams/cam0"), kProductPatch | kMouldPatch, QSize(1280, 960)));
    QThread::msleep(kFrameInUseMs);

    board("set 0");
    const QList<int> words = wordsUntil(0x0F7);
    EXPECT_EQ(words, (QList<int>{0x0F3, 0x0F7})) << Words(words);
    const QString line = "Camera 1 image unusable: image size 1280x960, expected 640x480";
    EXPECT_TRUE(WaitFor([&] { return records().contains("Camera 1Alarm"); }, kWaitMs));
    EXPECT_TRUE(records().contains(line)) << records().join('\n').toStdString();
}

// A camera whose first frame cannot be read: the program starts all the
// same with an empty view, and until a usable frame comes every cycle is NG
// for that camera, the record naming the cause.
TEST_F(CameraLoss, UnreadableFirstFrameStartsAndIsNg)
{
    ASSERT_TRUE(WriteSettings(file("PARAM.db"), para, 1, regionOutput));
    ASSERT_TRUE(WriteCameras(file("simcams"), 1, firstFrame));
    writeFile("simcams/cam0/frame.png", "not a picture");
    ASSERT_TRUE(io.start());
    board("set 1");
    program = std::make_unique<Program>(work.path(), file("simcams"), io.device());
    ASSERT_TRUE(WaitFor([&] { return !records().isEmpty(); }, kWaitMs));
    EXPECT_EQ(records().first(), "The system is ready, there is 1 cameras");

    board("set 0");
    const QList<int> words = wordsUntil(0x0F7);
    EXPECT_EQ(words.last(), 0x0F7) << Words(words);
    EXPECT_TRUE(WaitFor([&] { return records().contains("Camera 1Alarm"); }, kWaitMs));
    EXPECT_TRUE(records().contains("Camera 1 image unusable: no image yet")) << records().join('\n').toStdString();
}

// Family 5 counts only a changed image as a new frame. Its simulated camera,
// like a real sensor, never delivers two equal images, so with a frame file
// that never changes the cycles go on and the camera is never declared lost.
// MOULDMON_E2E_CYCLES runs more cycles (a long run by hand).
TEST_F(CameraLoss, Family5WithAnUnchangingFrameIsNeverLost)
{
    family = 5;
    frameSize = QSize(1280, 1024);
    const int cycles = qEnvironmentVariableIsSet("MOULDMON_E2E_CYCLES") ? qEnvironmentVariableIntValue("MOULDMON_E2E_CYCLES") : 8;
    start();
    for (int cycle = 0; cycle < cycles; ++cycle) {
        board("clear 0");
        ASSERT_EQ(wordsWithin(300), QList<int>()) << "cycle " << cycle;
        board("set 0");
        const QList<int> words = wordsUntil(idle());
        ASSERT_EQ(words, (QList<int>{0x0F3, 0x0F1, 0x0F0})) << "cycle " << cycle << ": " << Words(words);
    }
    EXPECT_TRUE(countsBecome(QStringLiteral("%1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ").arg(cycles)));
    const QString record = records().join('\n');
    EXPECT_FALSE(record.contains("Lost") || record.contains("Restart")) << record.toStdString();
}
