#include "network/netsender.h"

#include <QtDebug>

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

CNT_Thread::CNT_Thread(QObject* parent) : QThread(parent)
{
    clock.start();
}

CNT_Thread::~CNT_Thread()
{
    {
        QMutexLocker lock(&queueMutex);
        stopping = true;
        wake.wakeAll();
    }
    wait();
    if (socketFd >= 0)
        ::close(socketFd);
}

void CNT_Thread::append(const QByteArray& frame)
{
    QMutexLocker lock(&queueMutex);
    queue.append(frame);
    wake.wakeAll();
}

QList<QByteArray> CNT_Thread::messages() const
{
    QMutexLocker lock(&queueMutex);
    return queue.messages();
}

int CNT_Thread::dropped() const
{
    QMutexLocker lock(&queueMutex);
    return queue.dropped();
}

void CNT_Thread::acknowledge()
{
    QMutexLocker lock(&queueMutex);
    if (queue.acknowledge())
        wake.wakeAll();
}

void CNT_Thread::setSocket(qintptr descriptor)
{
    QMutexLocker lock(&queueMutex);
    if (socketFd >= 0)
        ::close(socketFd);
    socketFd = ::dup(int(descriptor));
    if (socketFd < 0)
        qWarning() << "network link: cannot duplicate the client socket:" << strerror(errno);
    queue.restartHead();
    wake.wakeAll();
}

void CNT_Thread::clearSocket()
{
    QMutexLocker lock(&queueMutex);
    if (socketFd >= 0)
        ::close(socketFd);
    socketFd = -1;
}

void CNT_Thread::setConnected(bool on)
{
    QMutexLocker lock(&queueMutex);
    connected = on;
    wake.wakeAll();
}

void CNT_Thread::run()
{
    QMutexLocker lock(&queueMutex);
    while (!stopping) {
        const bool canSend = connected && socketFd >= 0;
        const QByteArray due = canSend ? queue.takeDue(now()) : QByteArray();
        if (due.isEmpty()) {
            const qint64 ms = canSend ? queue.waitMs(now()) : -1;
            wake.wait(&queueMutex, ms < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(ms));
            continue;
        }
        // Write through a duplicate: the socket may be cleared or replaced
        // meanwhile, and the descriptor number must not be reused under us.
        const int fd = ::dup(socketFd);
        lock.unlock();
        if (fd >= 0) {
            writeAll(fd, due);
            ::close(fd);
        }
        lock.relock();
        queue.written(now());
    }
}

bool CNT_Thread::writeAll(int fd, const QByteArray& bytes) const
{
    QElapsedTimer spent;
    spent.start();
    qint64 done = 0;
    while (done < bytes.size() && !stopping) {
        const ssize_t n = ::send(fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
        const qint64 left = kWriteWaitMs - spent.elapsed();
        if (left <= 0)
            return false;
        pollfd p{fd, POLLOUT, 0};
        ::poll(&p, 1, int(std::min<qint64>(left, 200)));
    }
    return done == bytes.size();
}
