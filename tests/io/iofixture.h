#pragma once
// Shared state the IO tests set up: the IO lock, a settings record in force,
// cleared IO words, and environment variables restored after the test.

#include "core/controlport.h"
#include "core/globals.h"
#include "core/wizardpara.h"
#include "tests/common/testsupport.h"

#include <QByteArray>
#include <QMutex>
#include <QMutexLocker>
#include <gtest/gtest.h>

// Sets (or, with an empty value, unsets) an environment variable for the
// life of the object.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const QString& value)
        : name(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name))
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnv()
    {
        if (had)
            qputenv(name, old);
        else
            qunsetenv(name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name;
    bool had;
    QByteArray old;
};

class IOTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!pMutexIO)
            pMutexIO = new QMutex;  // as the program entry does
        saved = gpWPara;
        gpWPara = &para;
        setInputs(0);
        {
            QMutexLocker lock(pMutexIO);
            gDataOut = 0;
        }
        gisSafeDoorOpen = false;
    }
    void TearDown() override { gpWPara = saved; }

    static void setInputs(int word)
    {
        QMutexLocker lock(pMutexIO);
        gDataIn = word;
    }
    static int published()
    {
        QMutexLocker lock(pMutexIO);
        return gDataOut;
    }

    TempWorkDir work;
    WizardPara para;

private:
    WizardPara* saved = nullptr;
};
