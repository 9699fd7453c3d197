#pragma once
// The sender thread: writes the send queue to the client one message at a
// time and waits for each acknowledgement (see NetQueue). It writes through
// a descriptor of its own (a duplicate of the client socket's), so the GUI
// thread's socket object is never touched here, and it never holds the
// queue's mutex while it writes: queueing a message never waits for a slow
// client.

#include "network/netqueue.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <atomic>

class CNT_Thread : public QThread
{
    Q_OBJECT
public:
    explicit CNT_Thread(QObject* parent = nullptr);
    ~CNT_Thread() override;   // stops the thread and waits for it

    // Any thread.
    void append(const QByteArray& frame);
    QList<QByteArray> messages() const;
    int dropped() const;

    // GUI thread.
    void acknowledge();
    // The client's socket (duplicated); the queue head starts afresh.
    void setSocket(qintptr descriptor);
    void clearSocket();
    // Whether the client counts as connected: the queue drains only then.
    void setConnected(bool connected);

    // Largest write wait for one message.
    static constexpr int kWriteWaitMs = 5000;

protected:
    void run() override;

private:
    qint64 now() const { return clock.elapsed(); }
    // Writes all bytes to fd within kWriteWaitMs; false on an error or time-out.
    bool writeAll(int fd, const QByteArray& bytes) const;

    mutable QMutex queueMutex;
    QWaitCondition wake;
    NetQueue queue;
    int socketFd = -1;
    bool connected = false;
    std::atomic<bool> stopping{false};
    QElapsedTimer clock;
};
