#pragma once
// The real program end to end: a working directory laid out as run.sh lays
// it out, every settings row written from a WizardPara, one white-area
// region per detection step and camera (a black frame passes, a white patch
// inside the region fails), simulated grey cameras whose frames the test
// replaces, and the IO-board simulator on a pseudo-terminal whose output
// words the test reads in order. Every wait is bounded; nothing is timed.

#include "core/wizardpara.h"
#include "tests/common/testsupport.h"
#include "tests/mainwin/programfixture.h"
#include "tools/ioboard-sim/ioboardsim.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <memory>

class CammerSingleton;

namespace e2e {

// Frame size of the simulated cameras and the place of each step's region
// (frame pixels); a patch is a white square inside a region.
constexpr int kFrameW = 640;
constexpr int kFrameH = 480;
extern const QRect kRegion[2];   // product step, mould step
extern const QRect kPatch[2];
// The display area that region coordinates are given in.
extern const int kShowW;
extern const int kShowH;

// Where a camera's frame has a white patch (bits).
enum Patch { kNoPatch = 0, kProductPatch = 1, kMouldPatch = 2 };

// Bounds of the waits: generous, for a loaded machine.
constexpr int kWaitMs = 20000;
// A replaced frame is in use within one second (simulated cameras).
constexpr int kFrameInUseMs = 1200;

// Settings of the baseline machine: standard type, product and mould step
// (0.3 s and 0.3 + 0.5 s after the mould opened), every option off, English.
void BaselineSettings(WizardPara* para);
// The region of step d (kRegion[d]) in display coordinates.
QRect DisplayRect(const QRect& frameRect);
// One white-area region per step (the only regions of the camera), region 0
// with the NG output regionOutput.
void SetRegions(CammerSingleton* record, int regionOutput);
// A black frame with the given patches.
QImage Frame(int patches);

class EndToEnd : public ::testing::Test
{
protected:
    EndToEnd();
    ~EndToEnd() override;

    // Writes PARAM.db (para and the regions), the simulated cameras with
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
    QStringList records() const;   // remarks of RECORD.db, in order
    QString counts() const;        // count.txt
    // Result pictures of camera c (from 0), step s (from 0), NG or OK, by name.
    QStringList pictures(int camera, int step, bool ng) const;
    // Waits until that folder holds n pictures.
    bool waitPictures(int camera, int step, bool ng, int n);

    QString file(const QString& name) const { return work.file(name); }
    void writeFile(const QString& name, const QByteArray& text) const;
    // The line word with no output on (lines 4..7 are high by derived polarity
    // unless region NG outputs pulse).
    int idle() const { return para.ejectorPulseOnNG ? 0x000 : 0x0F0; }

    WizardPara para;
    int regionOutput = 0;   // NG output of region 0 (0..3 = outputs 4..7)
    int firstFrame[8] = {};  // patches of each camera's first frame
    TempWorkDir work;
    IOBoardSim io;
    std::unique_ptr<Program> program;

private:
    void writeSettings(int cameras);
    void writeCameras(int cameras);
    int savedLanguage = 0;
};

// Every picture is named "<prefix>yyyy-MM-dd_hh.mm.ss.jpg" (and there is one).
bool PicturesNamed(const QStringList& pictures, const QString& prefix);
// Text of a list of output words, for failure messages.
std::string Words(const QList<int>& words);

}  // namespace e2e
