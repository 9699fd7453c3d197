#include "inspection/savefailimagethread.h"

#include "inspection/inspectionhooks.h"
#include "inspection/resultimage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QtDebug>

#include <algorithm>
#include <malloc.h>

SaveFialImageThread* gpSaveFialImageThread = nullptr;

namespace {

constexpr int kPauseAfterPicture = 200;     // ms
constexpr int kPauseBeforeRecheckOk = 1000; // the OK picture of a re-check gets a later name
constexpr int kPauseAfterPass = 100;
constexpr int kSleepSlice = 20;

// The path relative to the working directory, "./...".
QString RelativePath(const QString& path)
{
    const QString current = QDir::currentPath();
    if (path.startsWith(current + QLatin1Char('/')))
        return QLatin1Char('.') + path.mid(current.length());
    return QStringLiteral("./") + QDir::current().relativeFilePath(path);
}

void Report(const QString& path)
{
    if (!NetReportsOn())
        return;
    const InspectionHooks& hooks = gInspectionHooks();
    if (hooks.sendAlarmPic)
        hooks.sendAlarmPic(path);
    if (hooks.sendStatistics)
        hooks.sendStatistics(RelativePath(path));
}

// Takes the handed-over picture kind of (c, d) into buffer; false when none
// waits. The pending picture goes with it: nothing reads a handed-over
// picture again, and kept for every camera, step and kind the pictures would
// take much memory (the next decision that keeps one makes it anew).
bool TakePicture(int c, int d, int kind, QImage& buffer)
{
    PendingPicture taken;
    {
        QMutexLocker lock(pMutexSaveFail);
        if (!gisSaveFail[c][d][kind])
            return false;
        gisSaveFail[c][d][kind] = false;
        std::swap(taken, gpFailImage[c][d][kind]);
    }
    if (taken.isNull())
        return false;
    taken.pictureInto(buffer);
    return true;
}

}  // namespace

SaveFialImageThread::SaveFialImageThread(QObject* parent) : QThread(parent)
{
}

QString SaveFialImageThread::PictureName(const QDateTime& time, int failIndex)
{
    const QString stamp = time.toString(QStringLiteral("yyyy-MM-dd_hh.mm.ss"));
    return failIndex > 0 ? QStringLiteral("%1_%2").arg(failIndex).arg(stamp) : stamp;
}

int SaveFialImageThread::PruneFolder(const QString& folder, int keep)
{
    const QFileInfoList pictures =
        QDir(folder).entryInfoList(QStringList{QStringLiteral("*.jpg")}, QDir::Files, QDir::Time);
    int removed = 0;
    for (int i = std::max(keep - 1, 0); i < pictures.size(); ++i)
        removed += QFile::remove(pictures[i].absoluteFilePath()) ? 1 : 0;
    return removed;
}

void SaveFialImageThread::SavePending(QImage& buffer, const Pacing& pacing)
{
    int written = 0;
    for (int c = 0; c < std::min(numCamera, kMaxCameras); ++c) {
        for (int d = 0; d < std::min(gDNum, kMaxDetects); ++d) {
            bool ng = false, ok = false;
            int failIndex = 0;
            {
                QMutexLocker lock(pMutexSaveFail);
                ng = gisSaveFail[c][d][kPictureNg];
                ok = gisSaveFail[c][d][kPictureOk];
                failIndex = gFailIndex[c][d];
            }
            for (int kind : {kPictureNg, kPictureOk}) {
                if (!TakePicture(c, d, kind, buffer))
                    continue;
                const bool ngFolder = kind == kPictureNg || ng;
                const QString folder = ResultImage::AlarmDir(c, d, ngFolder ? kPictureNg : kPictureOk);
                PruneFolder(folder, ngFolder ? gPicNumNG : gPicNumOK);
                const QString path = QStringLiteral("%1/%2.jpg")
                                         .arg(QDir(folder).absolutePath(), PictureName(pacing.now(), failIndex));
                if (buffer.save(path)) {
                    Report(path);
                    ++written;
                } else {
                    qWarning() << "result pictures: cannot write" << path;
                }
                pacing.sleep(kind == kPictureNg && ng && ok ? kPauseBeforeRecheckOk : kPauseAfterPicture);
            }
            if (ng) {
                QMutexLocker lock(pMutexSaveFail);
                gFailIndex[c][d] = 0;
            }
        }
    }
    // The pictures taken were freed: their pages go back to the system
    // rather than stay resident as free heap.
    if (written > 0)
        malloc_trim(0);
    pacing.sleep(kPauseAfterPass);
}

void SaveFialImageThread::Stop()
{
    requestInterruption();
    wait();
}

void SaveFialImageThread::run()
{
    QImage buffer;   // made by the first picture, then reused
    // Paused in slices, so that a stop is heard within one.
    const Pacing pacing{[this](int ms) {
                            QElapsedTimer paused;
                            paused.start();
                            while (!isInterruptionRequested()) {
                                const qint64 left = ms - paused.elapsed();
                                if (left <= 0)
                                    break;
                                msleep(static_cast<unsigned long>(std::min<qint64>(kSleepSlice, left)));
                            }
                        },
                        [] { return QDateTime::currentDateTime(); }};
    while (!isInterruptionRequested())
        SavePending(buffer, pacing);
}
