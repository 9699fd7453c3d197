// Main of every test binary: a QApplication on the offscreen platform and a
// command runner that may only record. A test that would reach a real
// machine command fails loudly instead.

#include "core/commandrunner.h"

#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariable("MOULDMON_SHELL").startsWith(QLatin1String("record:"))) {
        // Run outside ctest: record into the temporary directory, never for real.
        const QString file = QDir::temp().filePath(QStringLiteral("mouldmon-test-shell.log"));
        qputenv("MOULDMON_SHELL", ("record:" + file).toLocal8Bit());
    }
    CommandRunner::forbidReal(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
