#include "core/wholefile.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const QByteArray& text)
{
    const char* p = text.constData();
    qint64 left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

}  // namespace

bool FolderWritable(const QString& dir)
{
    const QString probe = dir + QStringLiteral("/.writable");
    if (!WriteWholeFile(probe, QByteArray("1")))
        return false;
    QFile::remove(probe);
    return true;
}

bool WriteWholeFile(const QString& file, const QByteArray& text)
{
    const QByteArray path = QFile::encodeName(file);
    const QByteArray temp = path + ".new";
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    // A full disk may accept the write into the page cache and fail only at
    // the flush: both are checked, and so is the close.
    bool ok = writeAll(fd, text) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(temp.constData(), path.constData()) == 0)
        return true;
    ::unlink(temp.constData());
    return false;
}
