// The one-minute autocopy runs the USB disk's script in the background.

#include "core/timerroundmanage.h"
#include "iofixture.h"

#include <QDir>
#include <QFile>

TEST(Autocopy, RunsTheDisksScriptOnlyWhenItIsThere)
{
    TempWorkDir work;
    const QString root = work.file(QStringLiteral("usb"));
    ASSERT_TRUE(QDir().mkpath(root));
    ScopedEnv rootEnv("MOULDMON_USB_ROOT", root);
    CommandRecorder recorder;
    TimerRoundManage manager;

    manager.slotCopy();
    EXPECT_TRUE(recorder.lines().isEmpty());

    QFile script(root + QStringLiteral("/autocopy-moju.py"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.close();
    manager.slotCopy();
    EXPECT_EQ(recorder.lines(), QStringList{QStringLiteral("python3 %1/autocopy-moju.py").arg(root)});
}
