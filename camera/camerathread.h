#pragma once
// The acquisition thread of one open position: after a 300 ms settling pause,
// one pass of the family's fetch every 10 ms until told to stop.

#include <QThread>

#include <atomic>

class CameraUnit;

class CameraThread : public QThread
{
    Q_OBJECT
public:
    explicit CameraThread(CameraUnit* owner);
    Q_DISABLE_COPY(CameraThread)

    std::atomic<bool> keepRunning{false};

protected:
    void run() override;

private:
    CameraUnit* const owner;
};
