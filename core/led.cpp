#include "core/led.h"

#include "core/globals.h"
#include "core/hostwindow.h"

#include <QFile>
#include <QString>

#include <sys/ioctl.h>

namespace {
const unsigned long kLedBase = 0x5A018000UL;
const unsigned long kLcdOff = 0x5A018A00UL;
const unsigned long kLcdOn = 0x5A018B00UL;
unsigned char gLedByte = 0xFF;

// Without the device, MOULDMON_LED_LOG receives one line per request.
void logRequest(unsigned long code, const QString& what)
{
    const QString file = qEnvironmentVariable("MOULDMON_LED_LOG");
    if (file.isEmpty())
        return;
    QFile log(file);
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(QStringLiteral("%1 0x%2\n").arg(what, QString::number(code, 16).toUpper()).toUtf8());
}

// The request carries its data in the code itself; there is no argument.
void request(unsigned long code, const QString& what)
{
    if (gfLED >= 0)
        ioctl(gfLED, code);
    else
        logRequest(code, what);
}
}  // namespace

void LCDOnOff(int on)
{
    request(on ? kLcdOn : kLcdOff, on ? QStringLiteral("lcd on") : QStringLiteral("lcd off"));
    if (gpHost)
        gpHost->setLcdOff(on == 0);
}

void LEDOnOff(int n, int value)
{
    if (n < 0 || n > 7)
        return;
    if (value & 1)
        gLedByte = static_cast<unsigned char>(gLedByte | (1u << n));
    else
        gLedByte = static_cast<unsigned char>(gLedByte & ~(1u << n));
    request(kLedBase | gLedByte, QStringLiteral("led %1").arg(gLedByte, 8, 2, QLatin1Char('0')));
}
