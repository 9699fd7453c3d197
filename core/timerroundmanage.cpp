#include "core/timerroundmanage.h"

#include <QTimerEvent>

TimerRoundManage* TimerRoundManage::__instance = nullptr;

TimerRoundManage::TimerRoundManage(QObject* parent)
    : QObject(parent)
{
}

TimerRoundManage::~TimerRoundManage()
{
    for (int id : timers.keys())
        killTimer(id);
}

void TimerRoundManage::init()
{
    startCopy();
}

void TimerRoundManage::startCopy()
{
    const int id = startTimer(60000, Qt::CoarseTimer);
    if (id)
        timers.insert(id, QStringLiteral("autocopy"));
}

void TimerRoundManage::slotCopy()
{
}

void TimerRoundManage::timerEvent(QTimerEvent* event)
{
    if (timers.value(event->timerId()) == QLatin1String("autocopy")) {
        slotCopy();
        return;
    }
    QObject::timerEvent(event);
}
