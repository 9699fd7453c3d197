#pragma once
// Starts ioboard_sim.py as a child process and drives it through its stdin
// and stdout (see README.md). Every wait is bounded.

#include <QProcess>
#include <QString>

class IOBoardSim
{
public:
    struct Event {
        QString kind;   // "out", "in" or "state"
        double time = 0;  // CLOCK_MONOTONIC seconds
        int word = -1;  // the output or input word ("out", "in")
    };

    IOBoardSim() = default;
    ~IOBoardSim();  // quits the simulator
    IOBoardSim(const IOBoardSim&) = delete;
    IOBoardSim& operator=(const IOBoardSim&) = delete;

    // Starts the simulator; false when it gave no pseudo-terminal in time.
    bool start(int timeoutMs = 5000);
    // The pseudo-terminal the program opens.
    QString device() const { return pty; }
    // One control command, e.g. "set 0".
    void command(const QString& line);
    // The next event line, or false after timeoutMs without one.
    bool next(Event* event, int timeoutMs);
    // Skips events until the output word is word; false on time-out.
    bool waitForOutput(int word, int timeoutMs, double* time = nullptr);

private:
    bool readLine(QString* line, int timeoutMs);

    QProcess process;
    QString pty;
};
