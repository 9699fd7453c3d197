#include "core/comport.h"

#include "core/globals.h"
#include "core/ioframe.h"
#include "core/serialline.h"

ByteChannel* gpCom = nullptr;

QString ComDeviceName()
{
    const QString simulated = qEnvironmentVariable("MOULDMON_IO_DEVICE");
    if (!simulated.isEmpty())
        return simulated;
    return QStringLiteral("/dev/ttyS%1").arg(gisCOM == 0 ? 0 : gisCOM + 1);
}

void ComInit(const QString& device)
{
    auto* line = new SerialLine;
    line->open(device);
    delete gpCom;
    gpCom = line;
}

void ComInit()
{
    ComInit(ComDeviceName());
}

void ComSend(int cmd, int value)
{
    if (!gpCom)
        return;
    const HostFrame frame = MakeHostFrame(cmd, value);
    gpCom->write(frame.data(), static_cast<int>(frame.size()));
}
