#include "screen/viewtexts.h"

#include "core/texttable.h"
#include "screen/viewreadings.h"

namespace {
constexpr int kTextStepProduct = 263;     // "Prod", "Mold"
constexpr int kTextStepSides = 372;       // "Left prod" .. "Right mold"
constexpr int kTextStepStations = 477;    // "1st" .. "8th"
constexpr int kTextCameraStatus = 313;    // "Cam %1 %2 %3"
constexpr int kTextResampling = 310;
constexpr int kTextStopping = 311;
constexpr int kTextDetecting = 312;
constexpr int kTextDetected = 528;
constexpr int kTextWaiting = 529;
constexpr float kCountdownShownAbove = 0.02f;
}  // namespace

QString StepName(int machineType, int d)
{
    switch (machineType) {
    case 1:
    case 2:
        return LanStr(kTextStepSides + d);
    case 4:
        return LanStr(kTextStepStations + d);
    default:
        return LanStr(kTextStepProduct + d);
    }
}

StateWord CameraStateWord(int runState, int countdownPhase)
{
    if (runState == RunState::Relearning || runState == RunState::Stopped)
        return BrowseStateWord(runState);
    switch (countdownPhase) {
    case kPhaseCounting:
        return {LanStr(kTextDetecting), Qt::green};
    case kPhaseJudged:
        return {LanStr(kTextDetected), Qt::green};
    case kPhaseShown:
        return {LanStr(kTextWaiting), Qt::green};
    default:
        return {QString(), Qt::green};
    }
}

StateWord BrowseStateWord(int runState)
{
    if (runState == RunState::Relearning)
        return {LanStr(kTextResampling), Qt::cyan};
    if (runState == RunState::Stopped)
        return {LanStr(kTextStopping), Qt::red};
    return {LanStr(kTextDetecting), Qt::green};
}

QString CameraStatusText(int cameraIndex, const QString& stepName, const QString& stateWord)
{
    return LanStr(kTextCameraStatus).arg(cameraIndex + 1).arg(stepName, stateWord);
}

QString CountdownText(float seconds)
{
    if (!(seconds > kCountdownShownAbove))
        return QString();
    return QString::number(seconds, 'g', 3);
}

QString LocationText(int x, int y, int value, bool colour)
{
    if (!colour)
        return QStringLiteral("%1, %2, %3").arg(x).arg(y).arg(value);
    const int r = (value >> 16) & 0xff, g = (value >> 8) & 0xff, b = value & 0xff;
    return QStringLiteral("%1, %2, %3").arg(x).arg(y).arg(QStringLiteral("%1, %2, %3").arg(r).arg(g).arg(b));
}
