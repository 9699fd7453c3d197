#pragma once
// The link's wire format. Towards the client every message is one frame:
// "<type>:<length>:..!" and the body, the length counting the body's UTF-8
// bytes. From the client every read is one reply: head lines separated by
// "\r\n", one "\r\n\r\n", then the body.

#include <QByteArray>
#include <QString>

namespace NetFrame {

// Largest reply taken from one read; the rest of that read is discarded.
constexpr int kReplyBufferBytes = 65535;

QByteArray Frame(int type, const QString& body);
QByteArray Frame(int type, const QByteArray& utf8Body);

struct Reply {
    enum Kind { Ignored, Ack, Heartbeat, Restart, Session };
    Kind kind = Ignored;
    int sessionId = 0;   // Session: the number of the last "SessionId:n" head line
    QString body;
};

// Interprets the bytes of one read (decoded up to the first NUL as UTF-8).
Reply ParseReply(const QByteArray& bytes);

}  // namespace NetFrame
