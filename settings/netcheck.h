#pragma once
// The checks of the computer's network: the network test behind the test
// button of the network parameters page (route, gateway ping, internet
// ping, client connection), and the traffic check that marks the
// interfaces whose received-byte counters grew. Commands run through the
// command runner.

#include <QMap>
#include <QString>
#include <functional>

namespace NetCheck {

// The public host that the internet ping asks.
extern const char* const kInternetHost;

// The word after the first "via" that has two words after it; empty when
// there is none. Only a dotted address counts.
QString Gateway(const QByteArray& routeOutput);
// A reply line with a non-zero "time=" counts as an answer.
bool Answered(const QByteArray& pingOutput);

// The network test. show gets the previous result followed by "*" before
// the commands run, and the new result at the end; result keeps it.
void Run(QString& result, bool clientConnected, const std::function<void(const QString&)>& show);

// Received-byte counters of /proc/net/dev text (loopback left out).
QMap<QString, qint64> ReceivedBytes(const QByteArray& devText);

// The traffic check: a start reading, then one reading per tick.
class Traffic
{
public:
    void start(const QMap<QString, qint64>& reading);
    void tick(const QMap<QString, qint64>& reading);
    // Interface -> grew since the previous reading (only interfaces known
    // before this tick).
    const QMap<QString, bool>& activity() const { return active; }

private:
    QMap<QString, qint64> counts;
    QMap<QString, bool> active;
};

}  // namespace NetCheck
