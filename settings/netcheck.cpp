#include "settings/netcheck.h"

#include "core/commandrunner.h"
#include "core/texttable.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QStringList>

namespace NetCheck {

const char* const kInternetHost = "114.114.114.114";

namespace {

constexpr int kCommandMs = 30000;

QString textOf(const QByteArray& output)
{
    const int nul = output.indexOf('\0');
    return QString::fromLocal8Bit(nul < 0 ? output : output.left(nul));
}

bool pings(const QString& host, const char* deadline)
{
    return Answered(CommandRunner::run(QStringLiteral("ping"),
                                       {host, QStringLiteral("-w"), QLatin1String(deadline)}, kCommandMs)
                        .output);
}

}  // namespace

QString Gateway(const QByteArray& routeOutput)
{
    const QStringList words = textOf(routeOutput).split(QLatin1Char(' '));
    for (int i = 0; i + 2 < words.size(); ++i) {
        if (words[i].contains(QLatin1String("via")))
            if (QHostAddress(words[i + 1]).protocol() == QAbstractSocket::IPv4Protocol)
                return words[i + 1];
    }
    return QString();
}

bool Answered(const QByteArray& pingOutput)
{
    for (const QString& line : textOf(pingOutput).split(QLatin1Char('\n'))) {
        const int at = line.indexOf(QLatin1String("time="));
        if (at < 0)
            continue;
        bool ok = false;
        const double ms = line.mid(at + 5).chopped(qMin(3, line.size() - at - 5)).toDouble(&ok);
        if (ok && ms != 0)
            return true;
    }
    return false;
}

void Run(QString& result, bool clientConnected, const std::function<void(const QString&)>& show)
{
    result += QLatin1Char('*');
    show(result);
    const QString gateway =
        Gateway(CommandRunner::run(QStringLiteral("ip"), {QStringLiteral("route"), QStringLiteral("show")}, kCommandMs)
                    .output);
    if (gateway.isEmpty()) {
        result = LanStr(419);
        show(result);
        return;
    }
    const bool lan = pings(gateway, "2");
    const bool internet = pings(QLatin1String(kInternetHost), "3");
    result = LanStr(lan ? 420 : 421) + QLatin1Char(',') + LanStr(internet ? 422 : 423) + QLatin1Char(',')
        + LanStr(clientConnected ? 439 : 440);
    show(result);
}

QMap<QString, qint64> ReceivedBytes(const QByteArray& devText)
{
    static const QRegularExpression pattern(QStringLiteral("\\s+(\\S+):\\s+(\\d+)"));
    QMap<QString, qint64> counts;
    auto it = pattern.globalMatch(textOf(devText));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1) != QLatin1String("lo"))
            counts.insert(m.captured(1), m.captured(2).toLongLong());
    }
    return counts;
}

void Traffic::start(const QMap<QString, qint64>& reading)
{
    active.clear();
    counts = reading;
}

void Traffic::tick(const QMap<QString, qint64>& reading)
{
    active.clear();
    for (auto it = reading.begin(); it != reading.end(); ++it) {
        if (counts.contains(it.key()))
            active.insert(it.key(), it.value() - counts.value(it.key()) >= 1);
        counts.insert(it.key(), it.value());
    }
}

}  // namespace NetCheck
