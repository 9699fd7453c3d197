#include "network/netframe.h"

#include <QStringList>

namespace NetFrame {

QByteArray Frame(int type, const QByteArray& utf8Body)
{
    return QByteArray::number(type) + ':' + QByteArray::number(utf8Body.size()) + ":..!" + utf8Body;
}

QByteArray Frame(int type, const QString& body)
{
    return Frame(type, body.toUtf8());
}

namespace {

// n of the last head line "...SessionId...:n" that splits at ':' into two
// parts; 0 when there is none or the number is not one.
int SessionOf(const QStringList& head)
{
    int n = 0;
    for (const QString& line : head) {
        if (!line.contains(QLatin1String("SessionId")))
            continue;
        const QStringList parts = line.split(QLatin1Char(':'));
        if (parts.size() != 2)
            continue;
        bool ok = false;
        const int value = parts[1].toInt(&ok);
        n = ok ? value : 0;
    }
    return n;
}

}  // namespace

Reply ParseReply(const QByteArray& bytes)
{
    Reply reply;
    const int nul = bytes.indexOf('\0');
    const QString text = QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
    const QStringList parts = text.split(QStringLiteral("\r\n\r\n"));
    if (parts.size() != 2)
        return reply;
    const QStringList head = parts[0].split(QStringLiteral("\r\n"));
    const QString& first = head[0];
    if (first.contains(QLatin1String("/back/"))) {
        reply.kind = Reply::Ack;
    } else if (first.contains(QLatin1String("/heart/"))) {
        reply.kind = Reply::Heartbeat;
    } else if (first.contains(QLatin1String("/reline/"))) {
        reply.kind = Reply::Restart;
    } else {
        reply.sessionId = SessionOf(head);
        if (reply.sessionId != 0) {
            reply.kind = Reply::Session;
            reply.body = parts[1];
        }
    }
    return reply;
}

}  // namespace NetFrame
