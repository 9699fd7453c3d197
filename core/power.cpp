#include "core/power.h"

#include "core/commandrunner.h"

#include <QCoreApplication>
#include <QtDebug>

#include <cstdlib>

namespace {
std::function<void(const char*)>& handler()
{
    static std::function<void(const char*)> h;
    return h;
}

void powerCommand(const QString& program, const QStringList& args, const char* name)
{
    CommandRunner::run(program, args);
    if (!CommandRunner::isRecording())
        return;
    if (handler()) {
        handler()(name);
        return;
    }
    // The machine would go down here: end the simulated program the same way.
    qInfo("%s requested; the simulated device stops", name);
    std::exit(0);
}
}  // namespace

void SystemReboot()
{
    powerCommand(QStringLiteral("reboot"), {}, "reboot");
}

void SystemPowerOff()
{
    powerCommand(QStringLiteral("init"), {QStringLiteral("0")}, "power-off");
}

void SetRecordedPowerHandler(std::function<void(const char*)> h)
{
    handler() = std::move(h);
}
