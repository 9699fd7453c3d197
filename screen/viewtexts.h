#pragma once
// Texts a camera view shows or writes to the title bar, in the language in
// force: step names, the state word of a camera, the countdown and the
// location read-out.

#include <QColor>
#include <QString>

// Name of detection step d: "Prod"/"Mold" on machine types 0, 3 and 5,
// "Left prod" .. "Right mold" on types 1 and 2, "1st" .. "8th" on type 4.
QString StepName(int machineType, int d);

struct StateWord {
    QString text;
    QColor colour;
};

// The state of a camera as its title-bar row shows it: "resampling" (cyan)
// while re-learning, "stopping" (red) while stopped, else in green by the
// countdown phase: "detecting" (1), "detected" (2), "Waiting" (3), or nothing.
StateWord CameraStateWord(int runState, int countdownPhase);
// The same without a countdown phase: "detecting" while neither re-learning
// nor stopped (the recent-NG browsing line).
StateWord BrowseStateWord(int runState);
// "Cam %1 %2 %3": camera number from 1, step name, state word.
QString CameraStatusText(int cameraIndex, const QString& stepName, const QString& stateWord);

// The countdown with three significant digits, or empty once 0.02 s or less remains.
QString CountdownText(float seconds);

// "x, y, value" of the location read-out; in colour mode the value is the
// pixel's "r, g, b".
QString LocationText(int x, int y, int value, bool colour);
