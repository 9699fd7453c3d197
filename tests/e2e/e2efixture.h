#pragma once
// The real program end to end, on the machine of e2emachine.h: a working
// directory laid out as run.sh lays it out, the IO-board simulator on a
// pseudo-terminal whose output words the test reads in order, simulated
// cameras whose frames the test replaces. Every wait is bounded; nothing is
// timed.

#include "core/wizardpara.h"
#include "tests/common/testsupport.h"
#include "tests/e2e/e2emachine.h"
#include "tests/mainwin/programfixture.h"
#include "tools/ioboard-sim/ioboardsim.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace e2e {

// Bounds of the waits: generous, for a loaded machine.
constexpr int kWaitMs = 20000;
// A replaced frame is in use within one second (simulated cameras).
constexpr int kFrameInUseMs = 1200;

// Every picture is named "<prefix>yyyy-MM-dd_hh.mm.ss.jpg" (and there is one).
bool PicturesNamed(const QStringList& pictures, const QString& prefix);
// Text of a list of output words, for failure messages.
std::string Words(const QList<int>& words);

class EndToEnd : public ::testing::Test
{
protected:
    EndToEnd();     // the working directory and the baseline settings in para
    ~EndToEnd() override;   // the program ends cleanly on SIGTERM, having run no machine command

    // Writes PARAM.db (para and the regions) and the simulated cameras with
    // their first frames, starts the board (safety door closed) and the
    // program, and waits until detection runs and the frames are in use.
    void start(int cameras = 1);
    // Replaces the frame of camera c and waits until it is surely in use.
    void setFrame(int camera, int patches);
    void board(const QString& command) { io.command(command); }

    // The output words the board applies, in order, up to and including the
    // `times`-th `last` (ending in -1 when it did not come).
    QList<int> wordsUntil(int last, int times = 1, int ms = kWaitMs);
    // The output words applied within ms (none expected, usually).
    QList<int> wordsWithin(int ms);

    // Files of the working directory.
    QString file(const QString& name) const { return work.file(name); }
    void writeFile(const QString& name, const QByteArray& text) const;
    QStringList records() const;   // remarks of RECORD.db, in order
    // The stored value of a row of a camera's region table in PARAM.db.
    QString regionRow(int camera, const QString& name) const;
    QString counts() const;        // count.txt
    // Waits until count.txt holds text; a failure tells what it holds.
    ::testing::AssertionResult countsBecome(const QString& text);
    // Result pictures of camera c (from 0), step s (from 0), NG or OK, by name.
    QStringList pictures(int camera, int step, bool ng) const;
    // Waits until that folder holds n pictures; true when it holds exactly n.
    bool waitPictures(int camera, int step, bool ng, int n);

    // The line word with no output on: lines 4..7 are high while their
    // outputs are off, unless the ejector pulses on a product NG.
    int idle() const { return para.ejectorPulseOnNG ? 0x000 : 0x0F0; }

    // Runs once the settings and cameras are written, before the program starts.
    virtual void beforeProgram() {}

    WizardPara para;
    QString display;              // X display to run on (none: offscreen)
    int family = kCameraFamily;   // of the simulated cameras, and their frame size
    QSize frameSize = kFrameSize;
    int regionOutput = 0;     // NG output of region 0 (0..3 = outputs 4..7)
    int firstFrame[8] = {};   // patches of each camera's first frame
    TempWorkDir work;
    IOBoardSim io;
    std::unique_ptr<Program> program;

private:
    int savedLanguage = 0;
};

}  // namespace e2e
