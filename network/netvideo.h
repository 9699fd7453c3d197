#pragma once
// Live pictures for the network client through System V shared memory: one
// segment per picture source (a share) holding one I420 frame (Y plane, then
// U, then V), and a one-count semaphore that both sides hold while they copy
// a frame. Share n's keys are ftok(dir, 1000 + n) for the segment and
// ftok(dir, 2000 + n) for the semaphore, dir "/tmp". The writer never waits
// long for the lock: a frame the client keeps locked is skipped.

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>
#include <QVector>

#include <functional>
#include <sys/types.h>

class CNT_Semaphore
{
public:
    explicit CNT_Semaphore(int key) : key(key) {}

    const int key;
    int semId = -1;

    // Gets or creates a set of count semaphores and sets semaphore 0 to 1;
    // returns the id or -1.
    int create_sem(int count);
    int get_sem();
    // Takes the lock, waiting at most timeoutMs (0: not at all); false when it stayed busy.
    bool P_sem(int timeoutMs);
    void V_sem();
    // Frees a lock a vanished client held: raises the count to 1 only when it is 0.
    void retInitPV();
    int value() const;   // the count, -1 when unknown
};

struct VideoShareInfo {
    int camId = 0;
    int width = 0;
    int height = 0;
    int size = 0;
    int shmId = -1;
    int semId = -1;
    void* shmAddr = nullptr;   // null when the segment could not be attached
    CNT_Semaphore* semaphore = nullptr;
    int fps = 5;
    bool writable() const { return shmId != -1 && semId != -1 && shmAddr; }
};

class VideoShares
{
public:
    static constexpr int kMaxShares = 8;
    // The writer does not wait for the client's lock: a busy share skips the frame.
    static constexpr int kLockWaitMs = 0;
    // Gives the picture of a share at each frame pass (null when none).
    using Source = std::function<QImage*()>;

    explicit VideoShares(QString keyDir = QStringLiteral("/tmp")) : keyDir(std::move(keyDir)) {}
    ~VideoShares();
    VideoShares(const VideoShares&) = delete;
    VideoShares& operator=(const VideoShares&) = delete;

    static int FrameBytes(int width, int height) { return int(qint64(width) * height * 3 / 2); }
    // 5, 10, 15, 20 or 25 for the index 0..4; the nearest of them otherwise.
    static int Fps(int rateIndex);
    key_t SegmentKey(int share) const;
    key_t SemaphoreKey(int share) const;

    // Registers share n (0..7) with the size of its frames.
    void Add(int share, int width, int height, int rateIndex, Source source = nullptr);
    bool hasShares() const { return !shares.isEmpty(); }
    const QMap<int, VideoShareInfo>& all() const { return shares; }
    Source source(int share) const { return sources.value(share); }
    // {"memoryinfo": [...]}, one entry per registration in order.
    QByteArray MemoryInfoBody() const;

    enum class Write { Done, Busy, Skipped };
    // Converts a 32-bit picture (blue, green, red, alpha) of the share's size
    // to I420 and copies it into the segment under the lock.
    Write Update(int share, const QImage& picture);
    // Frees locks held by a client that went away.
    void ReleaseLocks();
    // Detaches and removes every segment and semaphore set.
    void Free();

    // The I420 frame of a picture, as written; empty when the picture has
    // an odd or different size.
    static QByteArray ToI420(const QImage& picture, int width, int height);

private:
    QString keyDir;
    QMap<int, VideoShareInfo> shares;
    QMap<int, Source> sources;
    QVector<VideoShareInfo> registrations;
};
