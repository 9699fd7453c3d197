// A child process for the crash-handler tests: starts the log in its working
// directory with the log switch on, then crashes as asked.

#include "core/globals.h"
#include "core/logmanager.h"
#include "core/wizardpara.h"

#include <QCoreApplication>
#include <QDir>
#include <QtDebug>
#include <cstdlib>
#include <cstring>

// Writes through a pointer the compiler cannot see is null.
__attribute__((noinline)) void MouldmonCrashHere(volatile int* target)
{
    *target = 42;
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    SetAppDir(QDir::currentPath());
    gpWPara = new WizardPara;
    gpWPara->useLog = 1;
    new LogManager;
    qWarning("before the crash");
    const char* how = argc > 1 ? argv[1] : "segv";
    if (std::strcmp(how, "segv") == 0)
        MouldmonCrashHere(reinterpret_cast<volatile int*>(std::strtoull(argc > 2 ? argv[2] : "0", nullptr, 10)));
    else if (std::strcmp(how, "fatal") == 0)
        qFatal("fatal on purpose");
    return 0;
}
