#include "network/netvideo.h"

#include "network/netbody.h"

#include <cjson/cJSON.h>
#include <opencv2/imgproc.hpp>

#include <QFile>
#include <QtDebug>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/ipc.h>
#include <sys/sem.h>
#include <sys/shm.h>

namespace {

union SemArg {
    int val;
    semid_ds* buf;
    unsigned short* array;
};

bool SemOp(int semId, short op, int timeoutMs)
{
    sembuf b{};
    b.sem_num = 0;
    b.sem_op = op;
    b.sem_flg = timeoutMs == 0 ? IPC_NOWAIT : 0;
    if (timeoutMs <= 0)
        return semop(semId, &b, 1) == 0;
    timespec limit{timeoutMs / 1000, long(timeoutMs % 1000) * 1000000L};
    int rc;
    do {
        rc = semtimedop(semId, &b, 1, &limit);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

}  // namespace

int CNT_Semaphore::create_sem(int count)
{
    const int id = semget(key, count, IPC_CREAT | 0666);
    if (id == -1)
        return -1;
    SemArg arg{};
    arg.val = 1;
    if (semctl(id, 0, SETVAL, arg) == 0)
        semId = id;
    return id;
}

int CNT_Semaphore::get_sem()
{
    const int id = semget(key, 0, 0);
    if (id != -1)
        semId = id;
    return id;
}

bool CNT_Semaphore::P_sem(int timeoutMs)
{
    return semId == -1 || SemOp(semId, -1, timeoutMs);
}

void CNT_Semaphore::V_sem()
{
    if (semId != -1)
        SemOp(semId, 1, -1);
}

void CNT_Semaphore::retInitPV()
{
    if (semId == -1 || value() != 0)
        return;
    SemArg arg{};
    arg.val = 1;
    semctl(semId, 0, SETVAL, arg);
}

int CNT_Semaphore::value() const
{
    return semId == -1 ? -1 : semctl(semId, 0, GETVAL);
}

VideoShares::~VideoShares()
{
    // The semaphore wrappers live as long as the shares; the segments stay
    // for the client until Free().
    for (const VideoShareInfo& info : registrations)
        delete info.semaphore;
}

int VideoShares::Fps(int rateIndex)
{
    return 5 * (std::clamp(rateIndex, 0, 4) + 1);
}

key_t VideoShares::SegmentKey(int share) const
{
    return ftok(QFile::encodeName(keyDir).constData(), 1000 + share);
}

key_t VideoShares::SemaphoreKey(int share) const
{
    return ftok(QFile::encodeName(keyDir).constData(), 2000 + share);
}

void VideoShares::Add(int share, int width, int height, int rateIndex, Source source)
{
    if (share < 0 || share >= kMaxShares)
        return;
    VideoShareInfo info;
    info.camId = share;
    info.width = width;
    info.height = height;
    info.size = FrameBytes(width, height);
    info.shmId = shmget(SegmentKey(share), size_t(std::max(info.size, 0)), IPC_CREAT | 0666);
    if (info.shmId != -1) {
        void* addr = shmat(info.shmId, nullptr, 0);
        info.shmAddr = addr == reinterpret_cast<void*>(-1) ? nullptr : addr;
    }
    info.semaphore = new CNT_Semaphore(SemaphoreKey(share));
    info.semId = info.semaphore->create_sem(1);
    info.fps = Fps(rateIndex);
    if (width % 2 || height % 2)
        qWarning() << "video share" << share << "has an odd size" << width << "x" << height << "- no frames";
    shares.insert(share, info);
    registrations.append(info);
    if (info.shmId != -1 && source)
        sources.insert(share, std::move(source));
}

QByteArray VideoShares::MemoryInfoBody() const
{
    const NetBody::Json root = NetBody::NewObject();
    cJSON* list = cJSON_AddArrayToObject(root.get(), "memoryinfo");
    for (const VideoShareInfo& s : registrations) {
        cJSON* o = cJSON_CreateObject();
        cJSON_AddItemToArray(list, o);
        NetBody::ccJSON_AddItemToObject(o, "shmid", qint64(s.shmId));
        NetBody::ccJSON_AddItemToObject(o, "semid", qint64(s.semId));
        NetBody::ccJSON_AddItemToObject(o, "cameraid", qint64(s.camId));
        NetBody::ccJSON_AddItemToObject(o, "size", qint64(s.size));
        NetBody::ccJSON_AddItemToObject(o, "width", qint64(s.width));
        NetBody::ccJSON_AddItemToObject(o, "height", qint64(s.height));
        NetBody::ccJSON_AddItemToObject(o, "fps", qint64(s.fps));
    }
    return NetBody::Print(root.get());
}

QByteArray VideoShares::ToI420(const QImage& picture, int width, int height)
{
    if (width <= 0 || height <= 0 || width % 2 || height % 2 || picture.width() != width
        || picture.height() != height || picture.depth() != 32)
        return QByteArray();
    const cv::Mat bgra(height, width, CV_8UC4, const_cast<uchar*>(picture.constBits()),
                       size_t(picture.bytesPerLine()));
    cv::Mat i420;
    cv::cvtColor(bgra, i420, cv::COLOR_BGRA2YUV_I420);
    return QByteArray(reinterpret_cast<const char*>(i420.data), int(i420.total() * i420.elemSize()));
}

VideoShares::Write VideoShares::Update(int share, const QImage& picture)
{
    const auto it = shares.constFind(share);
    if (it == shares.constEnd() || !it->writable())
        return Write::Skipped;
    if (!it->semaphore->P_sem(kLockWaitMs))
        return Write::Busy;
    const QByteArray frame = ToI420(picture, it->width, it->height);
    const bool fits = frame.size() == it->size;
    if (fits)
        std::memcpy(it->shmAddr, frame.constData(), size_t(frame.size()));
    it->semaphore->V_sem();
    return fits ? Write::Done : Write::Skipped;
}

void VideoShares::ReleaseLocks()
{
    for (const VideoShareInfo& s : shares)
        s.semaphore->retInitPV();
}

void VideoShares::Free()
{
    for (const VideoShareInfo& s : registrations) {
        if (s.shmAddr)
            shmdt(s.shmAddr);
        if (s.shmId != -1)
            shmctl(s.shmId, IPC_RMID, nullptr);
        if (s.semId != -1)
            semctl(s.semId, 0, IPC_RMID);
    }
    for (VideoShareInfo& s : shares)
        s.shmAddr = nullptr;
    for (VideoShareInfo& s : registrations)
        s.shmAddr = nullptr;
    shares.clear();
    sources.clear();
}
