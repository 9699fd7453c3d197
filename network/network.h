#pragma once
// The network reporting link: a local TCP server on 127.0.0.1:8890 for the
// network-client process, which forwards cycles, alarms, settings, pictures
// and video frames to the production-data server.

#include <QDateTime>
#include <QTcpServer>

class QTcpSocket;

class CNT_Net : public QTcpServer
{
    Q_OBJECT
public:
    explicit CNT_Net(QObject* parent = nullptr);
    Q_DISABLE_COPY(CNT_Net)

    static constexpr quint16 kPort = 8890;

    bool isSetUp = false;            // construction found the link switch on and finished
    bool isClientConnected = false;  // the network client counts as connected
    bool isRestartRequested = false;
    QDateTime heartbeatTime;

    void CNT_FirstInit();
    static void CNT_ReStart();

    // Reads the first number of row CntNet of PARAM.db in the working
    // directory, on a connection of its own; false when missing.
    static bool ReadLinkSwitch();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    int heartTimerId = 0;
    QTcpSocket* clientSocket = nullptr;
};

extern CNT_Net* gpNet;
