// A camera lost while detection runs: after five seconds without a frame the
// clamp is inhibited, the loss is recorded and the cameras are restarted
// every three seconds until the camera is back; then cycles run again.

#include "tests/e2e/e2efixture.h"

#include <QFile>

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
