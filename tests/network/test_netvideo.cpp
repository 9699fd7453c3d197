// Shared-memory video: keys and sizes of the shares, the memory-info
// message, the I420 layout of a written frame and the lock discipline
// against a client that holds the semaphore. Keys come from a temporary
// directory, so that nothing meets the program's own shares in /tmp.

#include "network/netvideo.h"

#include <cjson/cJSON.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstring>
#include <sys/ipc.h>
#include <sys/sem.h>
#include <sys/shm.h>

namespace {

class VideoFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    VideoShares shares{dir.path()};
    ~VideoFixture() override { shares.Free(); }

    // What a client does: take the lock without undo, so the test decides when it goes.
    bool clientLock(int semId, short op)
    {
        sembuf b{0, op, IPC_NOWAIT};
        return semop(semId, &b, 1) == 0;
    }
    QByteArray segment(const VideoShareInfo& info)
    {
        void* addr = shmat(info.shmId, nullptr, SHM_RDONLY);
        const QByteArray bytes(static_cast<const char*>(addr), info.size);
        shmdt(addr);
        return bytes;
    }
};

// Left half red, right half blue.
QImage Patches(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(0, 0, 255));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x)
            img.setPixel(x, y, qRgb(255, 0, 0));
    return img;
}

}  // namespace

TEST(VideoShareNumbers, SizeAndFps)
{
    EXPECT_EQ(VideoShares::FrameBytes(1920, 1080), 3110400);
    EXPECT_EQ(VideoShares::FrameBytes(1724, 982), 2539452);
    EXPECT_EQ(VideoShares::FrameBytes(1725, 983), 2543512);   // rounded down
    const int fps[][2] = {{0, 5}, {1, 10}, {2, 15}, {3, 20}, {4, 25}, {-1, 5}, {9, 25}};
    for (const auto& f : fps)
        EXPECT_EQ(VideoShares::Fps(f[0]), f[1]) << f[0];
}

TEST_F(VideoFixture, SharesTakeTheirKeysAndAreListedInOrder)
{
    shares.Add(2, 64, 48, 3);
    shares.Add(0, 1920, 1080, 0);
    const QByteArray dirName = QFile::encodeName(dir.path());
    for (int n : {0, 2}) {
        const VideoShareInfo& info = shares.all()[n];
        EXPECT_EQ(shares.SegmentKey(n), ftok(dirName.constData(), 1000 + n));
        EXPECT_EQ(shares.SemaphoreKey(n), ftok(dirName.constData(), 2000 + n));
        EXPECT_EQ(shmget(shares.SegmentKey(n), 0, 0), info.shmId);
        EXPECT_EQ(semget(shares.SemaphoreKey(n), 0, 0), info.semId);
        EXPECT_EQ(semctl(info.semId, 0, GETVAL), 1);
        shmid_ds ds{};
        ASSERT_EQ(shmctl(info.shmId, IPC_STAT, &ds), 0);
        EXPECT_EQ(qint64(ds.shm_segsz), info.size);
    }
    EXPECT_EQ(shares.all()[0].size, 3110400);
    const QByteArray body = shares.MemoryInfoBody();
    cJSON* root = cJSON_Parse(body.constData());
    const cJSON* list = cJSON_GetObjectItemCaseSensitive(root, "memoryinfo");
    ASSERT_EQ(cJSON_GetArraySize(list), 2);
    const cJSON* first = cJSON_GetArrayItem(list, 0);
    QStringList keys;
    for (const cJSON* i = first->child; i; i = i->next)
        keys << QString::fromUtf8(i->string);
    EXPECT_EQ(keys, QStringList({"shmid", "semid", "cameraid", "size", "width", "height", "fps"}));
    EXPECT_EQ(cJSON_GetObjectItem(first, "cameraid")->valueint, 2);
    EXPECT_EQ(cJSON_GetObjectItem(first, "fps")->valueint, 20);
    EXPECT_EQ(cJSON_GetObjectItem(first, "shmid")->valueint, shares.all()[2].shmId);
    cJSON_Delete(root);
}

TEST_F(VideoFixture, FrameIsI420WithTheColoursInPlace)
{
    const int w = 32, h = 16;
    shares.Add(1, w, h, 0);
    ASSERT_EQ(shares.Update(1, Patches(w, h)), VideoShares::Write::Done);
    const QByteArray f = segment(shares.all()[1]);
    auto y = [&](int x, int row) { return quint8(f[row * w + x]); };
    auto u = [&](int x, int row) { return quint8(f[w * h + row * (w / 2) + x]); };
    auto v = [&](int x, int row) { return quint8(f[w * h + (w / 2) * (h / 2) + row * (w / 2) + x]); };
    // BT.601: red Y 82 U 90 V 240; blue Y 41 U 240 V 110 (within rounding).
    EXPECT_NEAR(y(2, 3), 82, 2);
    EXPECT_NEAR(u(1, 1), 90, 2);
    EXPECT_NEAR(v(1, 1), 240, 2);
    EXPECT_NEAR(y(w - 2, h - 1), 41, 2);
    EXPECT_NEAR(u(w / 2 - 1, h / 2 - 1), 240, 2);
    EXPECT_NEAR(v(w / 2 - 1, h / 2 - 1), 110, 2);
}

TEST_F(VideoFixture, BusyLockSkipsTheFrameAndNeverRisesAboveOne)
{
    const int w = 16, h = 8;
    shares.Add(0, w, h, 0);
    const VideoShareInfo info = shares.all()[0];
    ASSERT_EQ(shares.Update(0, Patches(w, h)), VideoShares::Write::Done);
    const QByteArray before = segment(info);
    QImage white(w, h, QImage::Format_RGB32);
    white.fill(Qt::white);
    ASSERT_TRUE(clientLock(info.semId, -1));
    EXPECT_EQ(shares.Update(0, white), VideoShares::Write::Busy);
    EXPECT_EQ(segment(info), before);
    // The client went away holding the lock: released once, to 1.
    shares.ReleaseLocks();
    EXPECT_EQ(semctl(info.semId, 0, GETVAL), 1);
    shares.ReleaseLocks();
    EXPECT_EQ(semctl(info.semId, 0, GETVAL), 1);
    EXPECT_EQ(shares.Update(0, white), VideoShares::Write::Done);
    EXPECT_EQ(semctl(info.semId, 0, GETVAL), 1);
    EXPECT_NE(segment(info), before);
}

TEST_F(VideoFixture, UnusableSharesAreListedButNeverWritten)
{
    // A smaller segment under the same key: creating the share fails.
    const int stale = shmget(shares.SegmentKey(3), 16, IPC_CREAT | 0666);
    ASSERT_NE(stale, -1);
    shares.Add(3, 16, 8, 0);
    EXPECT_EQ(shares.all()[3].shmId, -1);
    EXPECT_TRUE(shares.MemoryInfoBody().contains("\"shmid\":\t-1"));
    EXPECT_EQ(shares.Update(3, Patches(16, 8)), VideoShares::Write::Skipped);
    shmctl(stale, IPC_RMID, nullptr);
    // Odd sizes and pictures of another size are not converted.
    shares.Add(4, 15, 8, 0);
    EXPECT_EQ(shares.Update(4, Patches(15, 8)), VideoShares::Write::Skipped);
    shares.Add(5, 16, 8, 0);
    EXPECT_EQ(shares.Update(5, Patches(32, 8)), VideoShares::Write::Skipped);
    EXPECT_EQ(shares.Update(6, Patches(16, 8)), VideoShares::Write::Skipped);
}

// The fake network client reads a written frame under the semaphore and
// finds its size, its I420 layout and the colour patches in place.
TEST_F(VideoFixture, FakeClientReadsTheFrameUnderTheLock)
{
    const QString source = qEnvironmentVariable("MOULDMON_SOURCE_DIR");
    if (source.isEmpty())
        GTEST_SKIP() << "MOULDMON_SOURCE_DIR not set";
    const int w = 64, h = 32;
    shares.Add(0, w, h, 0);
    const VideoShareInfo info = shares.all()[0];
    ASSERT_EQ(shares.Update(0, Patches(w, h)), VideoShares::Write::Done);
    QProcess client;
    client.start(QStringLiteral("python3"),
                 {source + QStringLiteral("/tools/netclient-fake/netclient_fake.py"), QStringLiteral("--read-share"),
                  QStringLiteral("%1,%2,%3,%4").arg(info.shmId).arg(info.semId).arg(w).arg(h)});
    ASSERT_TRUE(client.waitForFinished(20000));
    const QByteArray out = client.readAllStandardOutput();
    cJSON* root = cJSON_Parse(out.constData());
    ASSERT_TRUE(root) << out.constData();
    EXPECT_TRUE(cJSON_IsTrue(cJSON_GetObjectItem(root, "size_ok")));
    EXPECT_TRUE(cJSON_IsTrue(cJSON_GetObjectItem(root, "layout_ok")));
    const cJSON* yuv = cJSON_GetObjectItem(root, "yuv");
    const cJSON* red = cJSON_GetObjectItem(yuv, "top_left");
    const cJSON* blue = cJSON_GetObjectItem(yuv, "bottom_right");
    const int redYuv[] = {82, 90, 240}, blueYuv[] = {41, 240, 110};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(cJSON_GetArrayItem(red, i)->valueint, redYuv[i], 2);
        EXPECT_NEAR(cJSON_GetArrayItem(blue, i)->valueint, blueYuv[i], 2);
    }
    cJSON_Delete(root);
    EXPECT_EQ(semctl(info.semId, 0, GETVAL), 1);   // given back
}
