#pragma once
// Periodic tasks of the device; the only one is the one-minute autocopy from
// a USB disk.

#include <QMap>
#include <QObject>
#include <QString>

class TimerRoundManage : public QObject
{
    Q_OBJECT
public:
    explicit TimerRoundManage(QObject* parent = nullptr);
    ~TimerRoundManage() override;
    Q_DISABLE_COPY(TimerRoundManage)

    static TimerRoundManage* __instance;

    void init();
    void startCopy();
    void slotCopy();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QMap<int, QString> timers;
};
