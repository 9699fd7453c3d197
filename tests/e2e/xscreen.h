#pragma once
// An X screen of 1920x1080 for the end-to-end tests that use the program as
// an operator does: Xvfb on a display of the test's own, real pointer
// presses through xdotool, screenshots, and the program's top-level windows.
// Every wait is bounded.

#include <QPoint>
#include <QRect>
#include <QString>
#include <QVector>

class XScreen
{
public:
    explicit XScreen(int number);
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    bool up() const;
    QString display() const { return name; }

    // Moves the pointer to (x, y) of the screen and presses and releases button 1.
    bool click(int x, int y);
    // Presses button 1 at from, moves the pointer to to in steps of at most
    // 20 px and releases it there, as a finger drags.
    bool drag(const QPoint& from, const QPoint& to);
    // Types text on the keyboard (to the window that has the focus).
    bool type(const QString& text);
    // The visible top-level windows of a process, largest last.
    QVector<QRect> windows(qint64 pid) const;
    // Waits (at most ms) for a visible window of the process smaller than
    // the screen (a dialog box) and gives its place.
    QRect waitDialog(qint64 pid, int ms) const;
    // Waits (at most ms) for a visible list window of the process (a choice's
    // popup: narrower than the screen, at least 200 px high).
    QRect waitPopup(qint64 pid, int ms) const;
    // Waits (at most ms) until the process shows no such window.
    bool waitNoDialog(qint64 pid, int ms) const;
    // The whole screen as a PNG.
    bool shot(const QString& file) const;

private:
    QString run(const QStringList& args, int ms = 5000) const;

    QString name;
    qint64 server = 0;
};
