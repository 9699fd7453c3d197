#include "core/timerroundmanage.h"

#include "core/commandrunner.h"
#include "core/usbdisk.h"

#include <QDir>
#include <QFileInfo>
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

// A USB disk may carry a script that the device runs in the background once
// a minute while the disk is mounted.
void TimerRoundManage::slotCopy()
{
    const QString script = QDir(UsbRoot()).filePath(QStringLiteral("autocopy-moju.py"));
    if (QFileInfo::exists(script))
        CommandRunner::startDetached(QStringLiteral("python3"), {script});
}

void TimerRoundManage::timerEvent(QTimerEvent* event)
{
    if (timers.value(event->timerId()) == QLatin1String("autocopy")) {
        slotCopy();
        return;
    }
    QObject::timerEvent(event);
}
