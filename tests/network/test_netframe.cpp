#include "network/netframe.h"

#include <gtest/gtest.h>

using NetFrame::Reply;

TEST(NetFrame, HeaderCountsTheBodysUtf8Bytes)
{
    struct Case {
        int type;
        QString body;
        QByteArray frame;
    };
    const Case cases[] = {
        {14, QString(), "14:0:..!"},
        {17, QString(), "17:0:..!"},
        {5, QStringLiteral("abc"), "5:3:..!abc"},
        {1, QString::fromUtf8("中"), "1:3:..!" + QString::fromUtf8("中").toUtf8()},
        {1, QString::fromUtf8("a=é&b"), "1:6:..!" + QString::fromUtf8("a=é&b").toUtf8()},
        {20, QString::fromUtf8("\xF0\x9F\x98\x80"), "20:4:..!\xF0\x9F\x98\x80"},
        {2, QString(200, QLatin1Char('x')), "2:200:..!" + QByteArray(200, 'x')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NetFrame::Frame(c.type, c.body), c.frame) << c.frame.constData();
}

TEST(NetFrame, RepliesByTheirFirstHeadLine)
{
    struct Case {
        QByteArray bytes;
        Reply::Kind kind;
        int session;
        QString body;
    };
    const Case cases[] = {
        {"/back/\r\n\r\n", Reply::Ack, 0, {}},
        {"/heart/\r\n\r\n", Reply::Heartbeat, 0, {}},
        {"/reline/\r\n\r\n", Reply::Restart, 0, {}},
        {"x/back/y\r\nSessionId:14\r\n\r\nbody", Reply::Ack, 0, {}},
        {"/heart/ /back/\r\n\r\n", Reply::Ack, 0, {}},       // the ack marker is looked at first
        {"/BACK/\r\n\r\n", Reply::Ignored, 0, {}},           // case-sensitive
        {"SessionId:14\r\n\r\n{\"result\":[]}", Reply::Session, 14, "{\"result\":[]}"},
        {"SessionId:17\r\n\r\n[]", Reply::Session, 17, "[]"},
        {"hello\r\nSessionId:14\r\nSessionId:17\r\n\r\nb", Reply::Session, 17, "b"},
        {"SessionId:14\r\nSessionId:x\r\n\r\nb", Reply::Ignored, 0, {}},   // the last line wins, not a number
        {"SessionId:14:2\r\n\r\nb", Reply::Ignored, 0, {}},               // three parts do not count
        {"SessionId: 14\r\n\r\nb", Reply::Session, 14, "b"},
        {"nothing\r\n\r\nb", Reply::Ignored, 0, {}},
        {"/back/", Reply::Ignored, 0, {}},                                 // no blank line
        {"/back/\r\n\r\n/back/\r\n\r\n", Reply::Ignored, 0, {}},           // two replies in one read
        {"SessionId:14\r\n\r\na\r\n\r\nb", Reply::Ignored, 0, {}},         // a body holding the separator
        {QByteArray("/heart/\r\n\r\n\0/back/\r\n\r\n", 23), Reply::Heartbeat, 0, {}},  // up to the first NUL
        {QByteArray("\0/back/\r\n\r\n", 11), Reply::Ignored, 0, {}},
        {"\xff\xfe/back/\r\n\r\n", Reply::Ack, 0, {}},                     // invalid UTF-8 around the marker
        {"", Reply::Ignored, 0, {}},
    };
    for (const Case& c : cases) {
        const Reply r = NetFrame::ParseReply(c.bytes);
        EXPECT_EQ(r.kind, c.kind) << c.bytes.toHex().constData();
        EXPECT_EQ(r.sessionId, c.session) << c.bytes.toHex().constData();
        EXPECT_EQ(r.body, c.body) << c.bytes.toHex().constData();
    }
}
