#include "network/network.h"

#include "core/commandrunner.h"
#include "core/globals.h"
#include "core/wizardpara.h"
#include "inspection/inspectionhooks.h"
#include "network/netframe.h"
#include "network/netsender.h"
#include "network/netstore.h"

#include <cjson/cJSON.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimerEvent>
#include <QVariant>
#include <QtDebug>

#include <unistd.h>

CNT_Net* gpNet = nullptr;

namespace {
const char* const kSwitchConnection = "isopen";
const char* const kClientScript = "./cnt_net/runNetClient.py";
const char* const kSwitchFile = "./cnt_net/whichsend.config";
const char* const kHeartTimer = "heart_timer";
const char* const kSendTimer = "send_timer";

int EnvNumber(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value >= 0 ? value : fallback;
}

// The link switch in force: the settings' network link on and the link set up.
bool LinkOn(const CNT_Net& net)
{
    return gpWPara && gpWPara->netLinkOn && net.isSetUp;
}
}  // namespace

quint16 CNT_Net::Port()
{
    return quint16(EnvNumber("MOULDMON_NET_PORT", kPort));
}

int CNT_Net::HeartPeriodMs()
{
    const int ms = EnvNumber("MOULDMON_NET_HEART_MS", kHeartPeriodMs);
    return ms > kHeartbeatSlackMs ? ms : kHeartPeriodMs;
}

QString CNT_Net::VideoKeyDir()
{
    const QString dir = qEnvironmentVariable("MOULDMON_VIDEO_KEYDIR");
    return dir.isEmpty() ? QStringLiteral("/tmp") : dir;
}

bool CNT_Net::HeartbeatFresh(qint64 ageMs, qint64 periodMs)
{
    return ageMs <= periodMs - kHeartbeatSlackMs;
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
    netCard.cardMap = NetCards::getNewNetCardInfo();
    netCard.hostName = NetCards::getNetHostName();
    netCard.macMap = NetCards::getNetMac();
    netCardEdit = netCard;
    if (!ReadLinkSwitch())
        return;
    QDir().mkpath(QStringLiteral("./cnt_net/data/"));
    QFile::remove(QStringLiteral("./cnt_net/chknettimes"));
    if (!listen(QHostAddress::LocalHost, Port()))
        qWarning() << "network link: cannot listen on port" << Port() << errorString();
    senderThread = new CNT_Thread(this);
    senderThread->start();
    heartPeriodMs = HeartPeriodMs();
    stampHeartbeat();
    timerNames.insert(startTimer(heartPeriodMs, Qt::CoarseTimer), QLatin1String(kHeartTimer));
    isSetUp = true;
    getWhichSend();
    InitManualStop();
    InitStatistics();
}

CNT_Net::~CNT_Net()
{
    CNT_FreeShareMemory();
    delete senderThread;   // stops it before the sockets go
    senderThread = nullptr;
}

namespace {
// Saving the settings record in force reports it to a connected client.
void ReportSettings(const WizardPara&)
{
    if (gpNet && gpNet->isClientConnected && LinkOn(*gpNet))
        gpNet->CNT_SendParam();
}
}  // namespace

void CNT_Net::CNT_FirstInit()
{
    WizardPara::SetSavedHook(&ReportSettings);
    gInspectionHooks().sendStatistics = [this](const QString& path) { CNT_SendStatistics(path); };
    if (gpWPara && gpWPara->videoType == 1)
        CNT_AddUseMemory(0, gShowW & ~1, gShowH & ~1, [this] { return grabScreen(); });
    // The segments go with the program, also when the link itself is never
    // deleted and the event loop never ran.
    static bool freeAtExit = false;
    if (!freeAtExit)
        qAddPostRoutine([] {
            if (gpNet)
                gpNet->CNT_FreeShareMemory();
        });
    freeAtExit = true;
    if (shares.hasShares())
        timerNames.insert(startTimer(kFramePeriodMs, Qt::CoarseTimer), QLatin1String(kSendTimer));
    if (isClientConnected)
        CNT_SendMemoryInfo();
}

void CNT_Net::CNT_ReStart()
{
    if (QFile::exists(QLatin1String(kClientScript)))
        CommandRunner::startDetached(QStringLiteral("python3.4"), {QLatin1String(kClientScript)});
}

QMap<int, bool> CNT_Net::WhichSend(const QByteArray& configText)
{
    QMap<int, bool> switches;
    for (int t = 0; t < kSendTypes; ++t)
        switches.insert(t, true);
    const int nul = configText.indexOf('\0');
    const QByteArray text = nul < 0 ? configText : configText.left(nul);
    cJSON* root = cJSON_ParseWithLength(text.constData(), size_t(text.size()));
    if (cJSON_IsObject(root)) {
        for (int t = 0; t < kSendTypes; ++t) {
            const cJSON* item = cJSON_GetObjectItemCaseSensitive(root, QByteArray::number(t).constData());
            if (item && cJSON_IsFalse(item))
                switches[t] = false;
        }
    }
    cJSON_Delete(root);
    return switches;
}

void CNT_Net::getWhichSend()
{
    QFile file{QLatin1String(kSwitchFile)};
    sendSwitches = WhichSend(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
}

void CNT_Net::stampHeartbeat()
{
    heartbeatTime = QDateTime::currentDateTime();
    heartbeatAge.start();
}

void CNT_Net::setConnected(bool connected)
{
    isClientConnected = connected;
    if (senderThread)
        senderThread->setConnected(connected);
}

void CNT_Net::incomingConnection(qintptr socketDescriptor)
{
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(socketDescriptor)) {
        qWarning() << "network link: cannot take a connection:" << socket->errorString();
        delete socket;
        ::close(int(socketDescriptor));
        return;
    }
    if (clientSocket) {
        qInfo() << "network link: a new client connection replaces the old one";
        dropSocket(clientSocket);
    }
    clientSocket = socket;
    isMemoryInfoSent = false;
    connect(socket, &QTcpSocket::disconnected, this, &CNT_Net::SlotDisConnetced);
    connect(socket, &QTcpSocket::readyRead, this, &CNT_Net::SlotReadyRead);
    stampHeartbeat();
    if (senderThread)
        senderThread->setSocket(socketDescriptor);
    setConnected(true);
    if (gpWPara && gpWPara->videoType != 0)
        CNT_SendMemoryInfo();
}

void CNT_Net::dropSocket(QTcpSocket* socket)
{
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void CNT_Net::SlotDisConnetced()
{
    auto* socket = qobject_cast<QTcpSocket*>(sender());
    if (!socket || socket != clientSocket)
        return;
    dropSocket(socket);
    clientSocket = nullptr;
    if (senderThread)
        senderThread->clearSocket();
    setConnected(false);
    isMemoryInfoSent = false;
    shares.ReleaseLocks();
}

void CNT_Net::SlotReadyRead()
{
    auto* socket = qobject_cast<QTcpSocket*>(sender());
    if (!socket || socket != clientSocket)
        return;
    const QByteArray bytes = socket->read(NetFrame::kReplyBufferBytes);
    if (socket->bytesAvailable() > 0) {
        socket->readAll();
        if (!oversizeLogged)
            qWarning() << "network link: a reply longer than" << NetFrame::kReplyBufferBytes << "bytes was cut";
        oversizeLogged = true;
    }
    ParsingBackBuf(bytes);
}

void CNT_Net::ParsingBackBuf(const QByteArray& bytes)
{
    const NetFrame::Reply reply = NetFrame::ParseReply(bytes);
    switch (reply.kind) {
    case NetFrame::Reply::Ack:
        if (senderThread)
            senderThread->acknowledge();
        break;
    case NetFrame::Reply::Heartbeat:
        setConnected(true);
        stampHeartbeat();
        break;
    case NetFrame::Reply::Restart:
        setConnected(false);
        if (LinkOn(*this))
            CNT_ReStart();
        stampHeartbeat();
        break;
    case NetFrame::Reply::Session: {
        const SessionHandler handler = sessionHandlers.value(reply.sessionId);
        if (handler)
            handler(reply.body);
        break;
    }
    case NetFrame::Reply::Ignored:
        break;
    }
}

void CNT_Net::setSessionHandler(int sessionId, SessionHandler handler)
{
    sessionHandlers.insert(sessionId, std::move(handler));
}

void CNT_Net::timerEvent(QTimerEvent* event)
{
    if (timerNames.value(event->timerId()) == QLatin1String(kSendTimer)) {
        framePass();
        return;
    }
    if (timerNames.value(event->timerId()) != QLatin1String(kHeartTimer)) {
        QTcpServer::timerEvent(event);
        return;
    }
    if (HeartbeatFresh(heartbeatAge.elapsed(), heartPeriodMs)) {
        setConnected(true);
    } else {
        setConnected(false);
        if (LinkOn(*this))
            CNT_ReStart();
    }
    stampHeartbeat();
    QTcpServer::timerEvent(event);
}

QList<QByteArray> CNT_Net::queuedMessages() const
{
    return senderThread ? senderThread->messages() : QList<QByteArray>();
}

// Builders.

void CNT_Net::queueMessage(int type, const QByteArray& utf8Body)
{
    if (senderThread)
        senderThread->append(NetFrame::Frame(type, utf8Body));
}

void CNT_Net::CNT_SendRecord(const QDateTime& time, const QString& level, const QString& remark)
{
    if (sends(kSendRecord))
        queueMessage(kSendRecord, NetBody::Record(netCard.hostName, time, level, remark).toUtf8());
}

void CNT_Net::CNT_SendParam()
{
    if (sends(kSendParam) && gpWPara)
        queueMessage(kSendParam, NetBody::Param(netCard.hostName, *gpWPara));
}

void CNT_Net::CNT_SendAlarmPic(const QString& path)
{
    if (sends(kSendAlarmPic))
        queueMessage(kSendAlarmPic, path.toUtf8());
}

void CNT_Net::CNT_SendTempPic(const QString& path)
{
    if (sends(kSendTempPic))
        queueMessage(kSendTempPic, path.toUtf8());
}

void CNT_Net::CNT_SendROIParam(const CammerSingleton& record, int detect)
{
    if (sends(kSendROIParam))
        queueMessage(kSendROIParam, NetBody::ROIParam(netCard.hostName, record, detect));
}

void CNT_Net::CNT_SendDelTempPic(int camera, int step, const QString& name)
{
    if (sends(kSendDelTempPic))
        queueMessage(kSendDelTempPic, NetBody::DelTempPic(netCard.hostName, camera, step, name,
                                                          QDateTime::currentDateTime(), QString::fromUtf8(manualStop.operator_id)).toUtf8());
}

void CNT_Net::CNT_SendGetProduct()
{
    if (sends(kSendGetProduct))
        queueMessage(kSendGetProduct, QByteArray());
}

void CNT_Net::CNT_SendGetRemindList()
{
    if (sends(kSendGetRemindList))
        queueMessage(kSendGetRemindList, QByteArray());
}

void CNT_Net::CNT_SendSaveNgVideo(int camera, int isNg)
{
    if (sends(kSendSaveNgVideo))
        queueMessage(kSendSaveNgVideo, NetBody::SaveNgVideo(netCard.hostName, camera, statisticsProductName(), isNg).toUtf8());
}

void CNT_Net::CNT_SendTelInfo(int detect, int count)
{
    if (sends(kSendTelInfo) && gpWPara)
        queueMessage(kSendTelInfo, NetBody::TelInfo(netCard.hostName, detect, count, *gpWPara).toUtf8());
}

void CNT_Net::CNT_SendCancle(int imageState)
{
    if (sends(kSendCancle) && gpWPara)
        queueMessage(kSendCancle, NetBody::Cancle(netCard.hostName, lastCycleUtc, QDateTime::currentDateTime(),
                                                  imageState, *gpWPara));
}
