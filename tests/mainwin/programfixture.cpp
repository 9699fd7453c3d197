#include "tests/mainwin/programfixture.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace {

// Runs fn on a connection of its own to file, then removes the connection.
template <typename Fn>
void withDatabase(const QString& file, Fn fn)
{
    const QString name = QStringLiteral("mainwin-test");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(file);
        if (db.open())
            fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace

void SetParamNumber(const QString& paramDb, const QString& row, int position, int value)
{
    withDatabase(paramDb, [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        q.prepare("select value from sysparam where name=?");
        q.addBindValue(row);
        if (!q.exec() || !q.next())
            return;
        QStringList numbers = q.value(0).toString().split(' ', Qt::SkipEmptyParts);
        while (numbers.size() <= position)
            numbers << "0";
        numbers[position] = QString::number(value);
        QSqlQuery u(db);
        u.prepare("update sysparam set value=? where name=?");
        u.addBindValue(numbers.join(' '));
        u.addBindValue(row);
        u.exec();
    });
}

bool MakeSimulatedCameras(const QString& folder, int count)
{
    QProcess draw;
    draw.start(BuildDir() + "/tools/camera-sim/mksimcams", {folder, QString::number(count)});
    return draw.waitForFinished(60000) && draw.exitStatus() == QProcess::NormalExit && draw.exitCode() == 0;
}

QString ReadText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QStringList RecordLines(const QString& recordDb)
{
    QStringList lines;
    withDatabase(recordDb, [&](QSqlDatabase& db) {
        QSqlQuery q("select remarks from RECORD", db);
        while (q.next())
            lines << q.value(0).toString();
    });
    return lines;
}

Program::Program(const QString& dir, const QString& simCameras, const QString& ioDevice, const QStringList& wrapper,
                 const QString& errorFile, const QString& display)
    : shellLog(dir + "/shell.log")
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", display.isEmpty() ? "offscreen" : "xcb");
    if (!display.isEmpty())
        env.insert("DISPLAY", display);
    env.insert("MOULDMON_SHELL", "record:" + shellLog);
    env.insert("MOULDMON_SIM_CAMERAS", simCameras);
    env.insert("MOULDMON_IO_DEVICE", ioDevice);
    env.insert("MOULDMON_LED_LOG", dir + "/led.log");
    if (!env.contains("MOULDMON_USB_ROOT"))   // a test's own disk, or one in the working folder
        env.insert("MOULDMON_USB_ROOT", dir + "/usb");
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir);
    process.setProcessChannelMode(errorFile.isEmpty() ? QProcess::ForwardedErrorChannel : QProcess::SeparateChannels);
    if (!errorFile.isEmpty())
        process.setStandardErrorFile(errorFile);
    const QString program = BuildDir() + "/mouldmonitor";
    if (wrapper.isEmpty())
        process.start(program, QStringList());
    else
        process.start(wrapper.first(), wrapper.mid(1) << program);
    process.waitForStarted(10000);
}

Program::~Program()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
}

bool Program::terminate()
{
    process.terminate();
    return process.waitForFinished(15000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QStringList Program::shellLines() const
{
    return ReadText(shellLog).split('\n', Qt::SkipEmptyParts);
}
