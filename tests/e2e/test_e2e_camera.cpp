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
