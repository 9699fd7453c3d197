#pragma once
// The network reporting link: a local TCP server on 127.0.0.1:8890 for the
// network-client process, which forwards cycles, alarms, settings, pictures
// and video frames to the production-data server. One client connection at a
// time; a new one replaces the old. Messages wait in the sender's queue
// until a client takes them (see netsender.h).

#include "network/netbody.h"
#include "network/netcard.h"
#include "network/netmanualstop.h"
#include "network/netstatistics.h"
#include "network/netvideo.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QMap>
#include <QMutex>
#include <QTcpServer>

#include <atomic>
#include <functional>

class QTcpSocket;
class CNT_Thread;

class CNT_Net : public QTcpServer
{
    Q_OBJECT
public:
    explicit CNT_Net(QObject* parent = nullptr);
    ~CNT_Net() override;
    Q_DISABLE_COPY(CNT_Net)

    static constexpr quint16 kPort = 8890;
    static constexpr int kHeartPeriodMs = 60000;
    // A heartbeat at most this much younger than the period keeps the client.
    static constexpr int kHeartbeatSlackMs = 1000;
    // The port in force: kPort, or MOULDMON_NET_PORT for tests.
    static quint16 Port();
    // The heart timer's period: kHeartPeriodMs, or MOULDMON_NET_HEART_MS for tests.
    static int HeartPeriodMs();
    // The folder of the video shares' keys: /tmp, or MOULDMON_VIDEO_KEYDIR for tests.
    static QString VideoKeyDir();
    // A heartbeat of this age at a heart tick keeps the client connected.
    static bool HeartbeatFresh(qint64 ageMs, qint64 periodMs = kHeartPeriodMs);

    NetCard netCard;
    NetCard netCardEdit;
    bool isSetUp = false;                       // construction found the link switch on and finished
    std::atomic<bool> isClientConnected{false};  // the network client counts as connected
    bool isRestartRequested = false;
    QDateTime heartbeatTime;                    // the client's last sign of life
    qint64 lastCycleUtc = 0;                    // utc of the last per-cycle report
    QMap<int, bool> sendSwitches;               // message type -> enabled
    CNT_Path_ManualStop manualStop;
    VideoShares shares{VideoKeyDir()};
    bool isMemoryInfoSent = false;              // the memory-info message went out on this connection

    // What the link reads of the run: RunState (1 detecting, 2 relearning,
    // 3 stopped) and the length of the last cycle in tenths of a second. Set
    // by the run controller's link; read in the GUI and result-image threads.
    std::function<int()> runState = [] { return 1; };
    std::function<qint64()> cycleTenths = [] { return qint64(0); };

    void CNT_FirstInit();
    static void CNT_ReStart();

    // Reads the first number of row CntNet of PARAM.db in the working
    // directory, on a connection of its own; false when missing.
    static bool ReadLinkSwitch();
    // The message switches from ./cnt_net/whichsend.config.
    void getWhichSend();
    static QMap<int, bool> WhichSend(const QByteArray& configText);

    // Message builders: each builds nothing when its type is switched off.
    void CNT_SendRecord(const QDateTime& time, const QString& level, const QString& remark);
    void CNT_SendParam();
    void CNT_SendAlarmPic(const QString& path);
    void CNT_SendTempPic(const QString& path);
    // Regions of step detect (from 0) of a camera's region record in force.
    void CNT_SendROIParam(const CammerSingleton& record, int detect);
    void CNT_SendDelTempPic(int camera, int step, const QString& name);
    void CNT_SendGetProduct();
    void CNT_SendGetRemindList();
    void CNT_SendSaveNgVideo(int camera, int isNg);
    void CNT_SendTelInfo(int detect, int count);
    // imageState: the result-picture state of the released alarm.
    void CNT_SendCancle(int imageState = 0);

    // Live video. A camera view whose camera opened registers its display
    // image (gImageW x gImageH, 32 bits) as share n; the source is asked for
    // the picture at every frame pass.
    void CNT_AddUseMemory(int share, int width, int height, VideoShares::Source source);
    void CNT_SendMemoryInfo();
    // Writes one frame of share n; false when it was not written.
    bool CNT_UpdateMemory(int share, const QImage& picture);
    void CNT_FreeShareMemory();
    static constexpr int kFramePeriodMs = 50;
    // The frames written and skipped for a busy lock since start.
    int framesWritten = 0;
    int framesBusy = 0;

    // Production statistics (every call takes the statistics lock).
    void InitStatistics();
    void InitManualStop();
    void ChkandAddStaticticsItem(int camera, int detect, int roi);
    void CNT_AddNgTimes(int ms);
    int CNT_AddCycle();
    // ngImage: a result picture's path relative to the working directory, or "null".
    void CNT_SendStatistics(const QString& ngImage);
    void CNT_SendStatistics_Once(const QList<param_roi>& results, bool isNg, int triggerSource);
    void CNT_SendManualStop();
    // Maintenance reminders, kept in ./cnt_net/data/Remind (nothing calls them yet).
    void CNT_SendAddRemind(const CNT_Path_Remind& remind);
    void CNT_SendDelRemind(qint64 utc);
    // Detection was just stopped or started by the operator: the stop message
    // and the statistics report, when the link is on and a client connected.
    void ReportStartStop();
    // A copy of the record, taken under the statistics lock.
    CNT_Path_Statistics statisticsSnapshot() const;
    QVector<int> alarmDurations() const;

    // Replies to the requests 14 and 17 go to the page that registered here.
    using SessionHandler = std::function<void(const QString& body)>;
    void setSessionHandler(int sessionId, SessionHandler handler);
    // Interprets one reply of the client.
    void ParsingBackBuf(const QByteArray& bytes);

    // Messages waiting, head first (the head may be in flight).
    QList<QByteArray> queuedMessages() const;

protected:
    void incomingConnection(qintptr socketDescriptor) override;
    void timerEvent(QTimerEvent* event) override;

private slots:
    void SlotDisConnetced();
    void SlotReadyRead();

private:
    bool sends(int type) const { return sendSwitches.value(type, false); }
    void queueMessage(int type, const QByteArray& utf8Body);
    void setConnected(bool connected);
    void stampHeartbeat();
    void dropSocket(QTcpSocket* socket);

    void framePass();
    void stampTime(QImage& picture) const;
    QImage* grabScreen();

    QImage screenFrame;   // the last grab of the main window, at the screen share's size

    // 1 stopped, 0 detecting, 2 otherwise.
    int stateCode() const;
    QString statisticsProductName() const;

    mutable QMutex statisticsMutex;
    NetStatistics statistics;
    int heartPeriodMs = kHeartPeriodMs;
    QElapsedTimer heartbeatAge;   // monotonic age of heartbeatTime
    QMap<int, QString> timerNames;
    QTcpSocket* clientSocket = nullptr;
    CNT_Thread* senderThread = nullptr;
    QMap<int, SessionHandler> sessionHandlers;
    bool oversizeLogged = false;
};

extern CNT_Net* gpNet;
