// Front-panel LED and LCD requests, written to MOULDMON_LED_LOG where the
// device is absent.

#include "core/globals.h"
#include "core/led.h"
#include "iofixture.h"
#include "tests/common/fakehost.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {

class LedTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        savedFd = gfLED;
        gfLED = -1;  // "/dev/led" is absent
        gpHost = &host;
    }
    void TearDown() override
    {
        gfLED = savedFd;
        gpHost = nullptr;
    }
    QStringList logged() const
    {
        QFile f(work.file(QStringLiteral("led.log")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    TempWorkDir work;
    ScopedEnv log{"MOULDMON_LED_LOG", work.file(QStringLiteral("led.log"))};
    FakeHost host;
    int savedFd = -1;
};

}  // namespace

TEST_F(LedTest, EachRequestIsOneLineWithItsCode)
{
    for (int n = 0; n < 8; ++n)  // the byte lives for the whole process: start from all on
        LEDOnOff(n, 1);
    QFile::remove(work.file(QStringLiteral("led.log")));
    LEDOnOff(7, 1);
    LEDOnOff(7, 2);  // only bit 0 of the value counts: bit 7 off
    LEDOnOff(4, 0);
    LEDOnOff(4, 1);
    LEDOnOff(8, 1);  // no such line: nothing sent
    EXPECT_EQ(logged(), (QStringList{
                            QStringLiteral("led 11111111 0x5A0180FF"),
                            QStringLiteral("led 01111111 0x5A01807F"),
                            QStringLiteral("led 01101111 0x5A01806F"),
                            QStringLiteral("led 01111111 0x5A01807F"),
                        }));
}

TEST_F(LedTest, TheLcdStateChangesWithoutTheDevice)
{
    LCDOnOff(0);
    EXPECT_TRUE(host.lcd);
    LCDOnOff(1);
    EXPECT_FALSE(host.lcd);
    EXPECT_EQ(logged(), (QStringList{QStringLiteral("lcd off 0x5A018A00"), QStringLiteral("lcd on 0x5A018B00")}));
}

TEST_F(LedTest, WithTheDeviceOpenNothingIsLoggedEvenOnDescriptorZero)
{
    // Descriptor 0 is a valid device when the program starts with stdin
    // closed; a request to it must not fall back to the log.
    const int saved = dup(0);
    ASSERT_GE(saved, 0);
    close(0);
    const int fd = open("/dev/null", O_RDWR);
    ASSERT_EQ(fd, 0);
    gfLED = fd;
    LCDOnOff(0);
    LEDOnOff(5, 0);
    dup2(saved, 0);
    close(saved);
    EXPECT_TRUE(logged().isEmpty());
    EXPECT_TRUE(host.lcd);
}

TEST_F(LedTest, WithoutDeviceOrLogRequestsAreDropped)
{
    ScopedEnv noLog("MOULDMON_LED_LOG", QString());
    LCDOnOff(0);
    EXPECT_TRUE(host.lcd);
    EXPECT_TRUE(logged().isEmpty());
}
