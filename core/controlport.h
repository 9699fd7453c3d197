#pragma once
// The IO board as the run controller sees it: nine logical outputs with
// polarity and reassignment, ten inputs with rising edges, and the
// safety-door handling. Used only from the GUI thread.

#include <QString>
#include <QtGlobal>
#include <atomic>

class IOThread;

constexpr int kOutputCount = 9;   // logical outputs 0..8
constexpr int kInputCount = 10;   // inputs 0..9
constexpr int kTempCount = 16;    // two blocks of eight temperatures

// Logical outputs (the index given to IOSetOut).
enum IOOutput {
    kOutClampInhibit = 0,
    kOutEjectorInhibit = 1,
    kOutAlarm = 2,
    kOutReserve = 3,
    kOutRegionNG0 = 4,  // 4..7: the region NG outputs
    kOutExtra = 8,
};
constexpr int kInDoor = 1;        // input 1: safety door closed
constexpr int kOut4Line = 3;      // the line that output4Use / input4Use reassign

// Shared with the IO thread under pMutexIO.
extern int gDataIn;    // inputs from the board, bits 0..9
extern int gDataOut;   // output lines wanted on the board
// Temperatures from the board (written by the IO thread).
extern std::atomic<float> gFTemp[kTempCount];
// Non-zero while the board is in use; the IO thread exchanges frames only then.
extern int gIOID;
// Set when the safety door opens; the run controller reads and clears it.
extern bool gisSafeDoorOpen;

class ControlPort
{
public:
    // Opens the board on ComDeviceName() (or on device), switches every
    // output off and starts the IO thread. Needs pMutexIO and the settings
    // in force (gpWPara). The program never deletes it; the destructor stops
    // the thread for tests and tools.
    ControlPort();
    explicit ControlPort(const QString& device);
    ~ControlPort();
    Q_DISABLE_COPY(ControlPort)

    // Sets logical output i (0..8) in the pending word only.
    void IOSetOut(int i, int on);
    void IOResetAllOut();
    // Publishes the pending word to the IO thread, which sends it at once.
    void IOFlashOut();
    // For isOut, line i of the pending word; otherwise input i as last fetched.
    bool IOState(bool isOut, int i) const;
    // Logical output i is on: its line after reassignment, with its polarity.
    bool OutputOn(int i) const;
    // Input i of the latest exchange with the board (input 4 reassigned),
    // whether or not the run controller fetched it.
    bool InputNow(int i) const;
    // Fetches the inputs; true when input pos rose since the last call for pos.
    bool IOInTrigger(int pos);

private:
    void handleDoor();

    uchar prevLevel[16] = {};
    int outWord = 0;
    int inWord = 0;
    IOThread* ioThread = nullptr;
};

extern ControlPort* gpControlIO;

// Line of the word that logical output i drives; -1 for the reserve output
// while another output is moved onto its line.
int OutputLine(int i, int output4Use);
// The input word with input 4 (bit 3) standing in for input 0, 1 or 2.
int ReassignInput4(int word, int input4Use);
