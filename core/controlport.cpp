#include "core/controlport.h"

#include "core/comport.h"
#include "core/globals.h"
#include "core/iothread.h"
#include "core/serialline.h"
#include "core/wizardpara.h"

#include <QMutexLocker>

int gDataIn = 0;
int gDataOut = 0;
std::atomic<float> gFTemp[kTempCount] = {};
int gIOID = 0;
bool gisSafeDoorOpen = false;
ControlPort* gpControlIO = nullptr;

namespace {
bool bit(int word, int i)
{
    return (word >> i) & 1;
}

int withBit(int word, int i, bool set)
{
    return set ? word | (1 << i) : word & ~(1 << i);
}

const WizardPara& para()
{
    Q_ASSERT(gpWPara);
    return *gpWPara;
}

// The two-colour and rotary-table machines use input 1 for their own signal.
bool doorWatched()
{
    return para().machineType != 1 && para().machineType != 2;
}
}  // namespace

int OutputLine(int i, int output4Use)
{
    if (output4Use == 0)
        return i;
    // Line 3 carries the output moved onto it; the reserve output then has none.
    if (output4Use == i + 1)
        return kOut4Line;
    return i == kOutReserve ? -1 : i;
}

int ReassignInput4(int word, int input4Use)
{
    if (input4Use == 0)
        return word;
    const int target = input4Use == 1 ? 0 : input4Use == 2 ? 1 : 2;
    return withBit(word, target, bit(word, kOut4Line));
}

ControlPort::ControlPort()
    : ControlPort(ComDeviceName())
{
}

ControlPort::ControlPort(const QString& device)
    : ioThread(new IOThread)
{
    inWord = 0;
    gIOID = 1;
    ComInit(device);
    IOResetAllOut();
    IOFlashOut();
    ioThread->start(QThread::InheritPriority);
}

ControlPort::~ControlPort()
{
    ioThread->stop();
    delete ioThread;
    gIOID = 0;
    delete gpCom;
    gpCom = nullptr;
    if (gpControlIO == this)
        gpControlIO = nullptr;
}

void ControlPort::IOSetOut(int i, int on)
{
    if (i < 0 || i >= kOutputCount)
        return;
    const int line = OutputLine(i, para().output4Use);
    if (line < 0)
        return;
    const bool level = (on != 0) != (para().outPolarity[i] != 0);
    outWord = withBit(outWord, line, level);
}

void ControlPort::IOResetAllOut()
{
    for (int i = 0; i < kOutputCount; ++i)
        IOSetOut(i, 0);
}

void ControlPort::IOFlashOut()
{
    ioThread->publishOutput(outWord);
}

bool ControlPort::IOState(bool isOut, int i) const
{
    if (i < 0 || i >= 16)
        return false;
    return bit(isOut ? outWord : inWord, i);
}

bool ControlPort::IOInTrigger(int pos)
{
    {
        QMutexLocker lock(pMutexIO);
        inWord = gDataIn;
    }
    inWord = ReassignInput4(inWord, para().input4Use);
    handleDoor();
    if (pos < 0 || pos >= int(sizeof prevLevel))
        return false;
    const bool level = bit(inWord, pos);
    const bool rose = level && !prevLevel[pos];
    prevLevel[pos] = level;
    return rose;
}

// The door opened (input 1 fell): the alarm goes off and the run controller
// is told. Only calls for input 1 store its level, so this repeats on every
// call until then.
void ControlPort::handleDoor()
{
    if (!doorWatched() || !prevLevel[kInDoor] || bit(inWord, kInDoor))
        return;
    if (OutputOn(kOutAlarm))
        IOSetOut(kOutAlarm, 0);
    IOFlashOut();
    gisSafeDoorOpen = true;
}

// Whether the alarm output is logically on: its line (which output4Use may
// have moved) read through its polarity.
bool ControlPort::OutputOn(int i) const
{
    if (i < 0 || i >= kOutputCount)
        return false;
    const int line = OutputLine(i, para().output4Use);
    return line >= 0 && bit(outWord, line) != (para().outPolarity[i] != 0);
}

bool ControlPort::InputNow(int i) const
{
    int word = 0;
    {
        QMutexLocker lock(pMutexIO);
        word = gDataIn;
    }
    return i >= 0 && i < 16 && bit(ReassignInput4(word, para().input4Use), i);
}
