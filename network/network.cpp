#include "network/network.h"

#include "core/commandrunner.h"
#include "core/wizardpara.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>
#include <QTimerEvent>
#include <QVariant>
#include <QtDebug>

CNT_Net* gpNet = nullptr;

namespace {
const char* const kSwitchConnection = "isopen";
const qint64 kHeartbeatLimitMs = 59000;
}

bool CNT_Net::ReadLinkSwitch()
{
    if (!QFile::exists(QStringLiteral("PARAM.db")))
        return false;
    bool on = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(kSwitchConnection));
        db.setDatabaseName(QStringLiteral("PARAM.db"));
        if (db.open()) {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            q.prepare(QStringLiteral("select value from sysparam where name=?"));
            q.addBindValue(QStringLiteral("CntNet"));
            if (q.exec() && q.next()) {
                QString text = q.value(0).toString();
                QTextStream in(&text);
                int first = 0;
                in >> first;
                on = in.status() == QTextStream::Ok && first != 0;
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QLatin1String(kSwitchConnection));
    return on;
}

CNT_Net::CNT_Net(QObject* parent)
    : QTcpServer(parent)
{
    if (!ReadLinkSwitch())
        return;
    QDir().mkpath(QStringLiteral("./cnt_net/data/"));
    QFile::remove(QStringLiteral("./cnt_net/chknettimes"));
    if (!listen(QHostAddress::LocalHost, kPort))
        qWarning() << "network link: cannot listen on port" << kPort << errorString();
    heartbeatTime = QDateTime::currentDateTime();
    heartTimerId = startTimer(60000, Qt::CoarseTimer);
    isSetUp = true;
}

void CNT_Net::CNT_FirstInit()
{
}

void CNT_Net::CNT_ReStart()
{
    if (QFile::exists(QStringLiteral("./cnt_net/runNetClient.py")))
        CommandRunner::startDetached(QStringLiteral("python3.4"), {QStringLiteral("./cnt_net/runNetClient.py")});
}

void CNT_Net::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != heartTimerId) {
        QTcpServer::timerEvent(event);
        return;
    }
    const qint64 age = heartbeatTime.msecsTo(QDateTime::currentDateTime());
    if (age <= kHeartbeatLimitMs) {
        isClientConnected = true;
    } else {
        isClientConnected = false;
        if (gpWPara && gpWPara->netLinkOn && isSetUp)
            CNT_ReStart();
    }
    heartbeatTime = QDateTime::currentDateTime();
    QTcpServer::timerEvent(event);
}
