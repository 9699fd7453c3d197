#include "core/mapplication.h"

#include "core/commandrunner.h"
#include "core/globals.h"
#include "core/hostwindow.h"
#include "core/led.h"
#include "core/power.h"
#include "core/texttable.h"
#include "core/wizardpara.h"

#include <QEvent>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

namespace {
const int kLongPressMs = 5000;
int gTermPipe[2] = {-1, -1};
bool gTerminationRequested = false;

void onTermSignal(int)
{
    const char byte = 1;
    (void)::write(gTermPipe[0], &byte, 1);
}
}  // namespace

void InstallTerminationHandler()
{
    if (gTermPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, gTermPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(gTermPipe[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char byte;
        (void)::read(gTermPipe[1], &byte, 1);
        qInfo("termination requested");
        gTerminationRequested = true;  // also when it arrives before the event loop runs
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onTermSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

MApplication::MApplication(int& argc, char** argv)
    : QApplication(argc, argv)
    , longPressTimer(new QTimer(this))
{
    connect(longPressTimer, &QTimer::timeout, this, &MApplication::SlotLongPress);
}

bool MApplication::notify(QObject* receiver, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (onPress())
            return true;
        break;
    case QEvent::MouseButtonRelease:
        onRelease();
        break;
    default:
        break;
    }
    return QApplication::notify(receiver, event);
}

// Returns true when the press is consumed (it only woke the LCD).
bool MApplication::onPress()
{
    if (gCameraID == 0 && !longPressTimer->isActive() && !calibrationArmed)
        longPressTimer->start(kLongPressMs);
    if (!gpHost || !gpWPara)
        return false;
    if (QTimer* t = gpHost->logoutTimer(); t && gpWPara->autoLogoutTime > 0)
        t->start(gpWPara->autoLogoutTime * 1000);
    if (QTimer* t = gpHost->screenOffTimer(); t && gpWPara->screenOffTime > 0)
        t->start(gpWPara->screenOffTime * 1000);
    if (gpHost->lcdOff()) {
        LCDOnOff(1);
        return true;
    }
    return false;
}

void MApplication::onRelease()
{
    if (!calibrationArmed) {
        longPressTimer->stop();
        return;
    }
    CommandRunner::run(QStringLiteral("./tsc"), {}, -1);
    if (gpHost) {
        QThread::msleep(500);
        gpHost->FLushAll();
        SystemReboot();
    }
    calibrationArmed = false;
}

void MApplication::SlotLongPress()
{
    longPressTimer->stop();
    if (gCameraID != 0)
        return;
    calibrationArmed = true;
    if (gpHost)
        gpHost->showNotice(LanStr(568), LanStr(370));
}

bool TerminationRequested()
{
    return gTerminationRequested;
}

void StopWTD()
{
    QThread::sleep(1);
}

void Exit(int code)
{
    StopWTD();
    std::exit(code);
}
