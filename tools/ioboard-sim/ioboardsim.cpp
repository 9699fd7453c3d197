#include "tools/ioboard-sim/ioboardsim.h"

#include <QElapsedTimer>
#include <QStringList>

IOBoardSim::~IOBoardSim()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.closeWriteChannel();  // end of stdin quits the simulator
    if (!process.waitForFinished(2000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

bool IOBoardSim::start(int timeoutMs)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral("python3"), {QStringLiteral(IOBOARD_SIM_SCRIPT)});
    if (!process.waitForStarted(timeoutMs))
        return false;
    QString line;
    if (!readLine(&line, timeoutMs) || !line.startsWith(QLatin1String("pty ")))
        return false;
    pty = line.mid(4);
    return true;
}

void IOBoardSim::command(const QString& line)
{
    process.write(line.toUtf8() + '\n');
    process.waitForBytesWritten(1000);
}

bool IOBoardSim::readLine(QString* line, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!process.canReadLine()) {
        const qint64 left = timeoutMs - t.elapsed();
        if (left <= 0 || process.state() == QProcess::NotRunning)
            return false;
        process.waitForReadyRead(int(left));
    }
    *line = QString::fromUtf8(process.readLine()).trimmed();
    return true;
}

bool IOBoardSim::next(Event* event, int timeoutMs)
{
    QString line;
    if (!readLine(&line, timeoutMs))
        return false;
    const QStringList f = line.split(QLatin1Char(' '));
    *event = Event{};
    event->kind = f.value(0);
    event->time = f.value(1).toDouble();
    if (event->kind == QLatin1String("out") || event->kind == QLatin1String("in"))
        event->word = f.value(2).toInt(nullptr, 16);
    return true;
}

bool IOBoardSim::waitForOutput(int word, int timeoutMs, double* time)
{
    QElapsedTimer t;
    t.start();
    Event e;
    while (t.elapsed() < timeoutMs && next(&e, int(timeoutMs - t.elapsed()))) {
        if (e.kind == QLatin1String("out") && e.word == word) {
            if (time)
                *time = e.time;
            return true;
        }
    }
    return false;
}
