#include "core/serialline.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
// Raw bytes: no echo, no line editing, no translation of CR/LF, no signals.
bool setUpLine(int fd)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}
}  // namespace

SerialLine::~SerialLine()
{
    close();
}

bool SerialLine::open(const QString& device)
{
    close();
    const QByteArray path = QFile::encodeName(device);
    const int f = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (f < 0)
        return false;
    if (!isatty(f) || !setUpLine(f)) {
        ::close(f);
        return false;
    }
    fd = f;
    return true;
}

void SerialLine::close()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

int SerialLine::readSome(uchar* data, int max)
{
    if (fd < 0 || max <= 0)
        return 0;
    ssize_t n;
    do {
        n = ::read(fd, data, static_cast<size_t>(max));
    } while (n < 0 && errno == EINTR);
    return n > 0 ? static_cast<int>(n) : 0;
}

bool SerialLine::hasInput()
{
    if (fd < 0)
        return false;
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

void SerialLine::write(const uchar* data, int len)
{
    while (fd >= 0 && len > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(len));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;  // line full or gone: the board resynchronises on the next frame
        data += n;
        len -= static_cast<int>(n);
    }
}
