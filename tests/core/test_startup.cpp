// The real program started in a temporary working directory: the network
// link switch, the default files, the log, recovery of a missing database
// and a clean end on SIGTERM.

#include "core/database.h"
#include "network/network.h"
#include "tests/common/testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QThread>
#include <QVariant>
#include <gtest/gtest.h>

namespace {

void setRow(const QString& file, const QString& name, const QString& value)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "edit");
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        q.prepare("update sysparam set value=? where name=?");
        q.addBindValue(value);
        q.addBindValue(name);
        ASSERT_TRUE(q.exec());
        db.close();
    }
    QSqlDatabase::removeDatabase("edit");
}

QString readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

class Program
{
public:
    explicit Program(const QString& dir)
        : shellLog(dir + "/shell.log")
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("MOULDMON_SHELL", "record:" + shellLog);
        env.insert("MOULDMON_IO_DEVICE", dir + "/no-such-serial-device");
        env.insert("MOULDMON_LED_LOG", dir + "/led.log");
        env.insert("MOULDMON_USB_ROOT", dir + "/usb");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(BuildDir() + "/mouldmonitor", QStringList());
        EXPECT_TRUE(process.waitForStarted(10000));
    }
    ~Program()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    bool terminate()
    {
        process.terminate();
        return process.waitForFinished(15000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }
    QStringList shellLines() const { return readFile(shellLog).split('\n', Qt::SkipEmptyParts); }

    QString shellLog;
    QProcess process;
};

}  // namespace

TEST(Startup, LaysDownItsFilesWritesTheLogAndEndsOnSigterm)
{
    TempWorkDir work;
    LayOutWorkDir(work.path());
    setRow(work.file("PARAM.db"), "system8", "2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0");  // log on
    Program program(work.path());
    const QString log = work.file("cnt_net/cnt_log_app/log.txt");
    ASSERT_TRUE(WaitFor([&] { return readFile(log).contains("application start VERSION:"); }, 30000))
        << readFile(log).toStdString();
    const QStringList lines = readFile(log).split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.first().startsWith("create newlog version 16.0.1.6 "));
    EXPECT_TRUE(QRegularExpression("^\\[I \\S+ mainwindow\\.cpp:\\d+\\] application start VERSION: 16\\.0\\.1\\.6 on "
                                   "\\d{4}\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$")
                    .match(lines.at(1)).hasMatch()) << lines.at(1).toStdString();
    EXPECT_EQ(readFile(work.file("sysadd.txt")), "0");
    EXPECT_TRUE(program.terminate());
    EXPECT_FALSE(program.shellLines().contains("reboot"));
}

TEST(Startup, MissingParameterFileIsRestoredAndTheDeviceReboots)
{
    TempWorkDir work;
    LayOutWorkDir(work.path());
    QFile::remove(work.file("PARAM.db"));
    Program program(work.path());
    ASSERT_TRUE(program.process.waitForFinished(30000));
    EXPECT_EQ(program.shellLines(), (QStringList{"cp -f ./paraGroup/default/PARAM.db ./", "reboot"}));
    EXPECT_FALSE(QFile::exists(work.file("PARAM.db")));  // the copy was only recorded
}

TEST(Startup, DamagedRecordFileIsRestored)
{
    TempWorkDir work;
    LayOutWorkDir(work.path());
    QFile damaged(work.file("RECORD.db"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("this is not a database");
    damaged.close();
    Program program(work.path());
    ASSERT_TRUE(program.process.waitForFinished(30000));
    EXPECT_EQ(program.shellLines(), (QStringList{"cp -f RECORDNULL.db RECORD.db", "reboot"}));
}

TEST(Startup, NetworkLinkListensOnlyWhenItsSwitchIsOn)
{
    for (bool on : {false, true}) {
        TempWorkDir work;
        LayOutWorkDir(work.path());
        setRow(work.file("PARAM.db"), "CntNet", on ? "1 1 3 0 0 6 1 10000" : "0 1 3 0 0 6 1 10000");
        QDir().mkpath(work.file("cnt_net"));
        QFile stale(work.file("cnt_net/chknettimes"));
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.close();
        Program program(work.path());
        QTcpSocket socket;
        bool connected = false;
        if (on) {
            connected = WaitFor([&] {
                socket.abort();
                socket.connectToHost("127.0.0.1", CNT_Net::kPort);
                return socket.waitForConnected(200);
            }, 30000);
        } else {
            // Wait until the program is up, then try once.
            WaitFor([&] { return QFile::exists(work.file("sysadd.txt")); }, 30000);
            QThread::msleep(300);
            socket.connectToHost("127.0.0.1", CNT_Net::kPort);
            connected = socket.waitForConnected(1000);
        }
        EXPECT_EQ(connected, on);
        EXPECT_EQ(QDir(work.file("cnt_net/data")).exists(), on);
        EXPECT_EQ(QFile::exists(work.file("cnt_net/chknettimes")), !on);
        EXPECT_TRUE(program.terminate());
    }
}
