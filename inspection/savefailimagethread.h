#pragma once
// The writer of result pictures: saves every pending picture that the OK/NG
// decision has handed over (gisSaveFail) as a JPEG file in its step's folder,
// keeps each folder to its number of pictures (gPicNumNG, gPicNumOK) and
// reports each file written to the network link.
//
// File names: local time "yyyy-MM-dd_hh.mm.ss", prefixed "<n>_" with the
// number of the first failed region when the NG picture has one. An OK
// picture handed over together with an NG picture is saved beside it in the
// NG folder, a second later, with the same prefix.

#include <QDateTime>
#include <QImage>
#include <QThread>

#include <functional>

class SaveFialImageThread : public QThread
{
public:
    explicit SaveFialImageThread(QObject* parent = nullptr);
    Q_DISABLE_COPY(SaveFialImageThread)

    // Pauses and the clock of a pass (real ones in the thread).
    struct Pacing {
        std::function<void(int ms)> sleep;
        std::function<QDateTime()> now;
    };
    // One pass over cameras 0..numCamera-1 and steps 0..gDNum-1; buffer
    // receives each handed-over picture in turn (its pending picture is
    // released).
    static void SavePending(QImage& buffer, const Pacing& pacing);
    // Deletes the oldest *.jpg entries of folder so that it holds keep - 1
    // (at least none), making room for one more. Returns how many went.
    static int PruneFolder(const QString& folder, int keep);
    static QString PictureName(const QDateTime& time, int failIndex);

    // Asks the thread to end after the current picture and waits for it.
    void Stop();

protected:
    void run() override;
};

// The one writer, created and started by the monitor's start-up.
extern SaveFialImageThread* gpSaveFialImageThread;
