#include "screen/regionchangelog.h"

#include "core/texttable.h"
#include "inspection/cammersingleton.h"
#include "inspection/regionjudge.h"
#include "screen/viewtexts.h"

#include <algorithm>

namespace {

// Texts of the change log.
constexpr int kTextHead = 73;             // "Detection %2 of camera %1 "
constexpr int kTextRectangle = 74;
constexpr int kTextCircle = 75;
constexpr int kTextPolygon = 76;
constexpr int kTextSpotAdded = 77;
constexpr int kTextDefectAdded = 78;
constexpr int kTextPositionAdded = 79;
constexpr int kTextAdded = 80;
constexpr int kTextDeleted = 81;
constexpr int kTextFunctionFrom = 82;
constexpr int kTextFunctionTo = 83;
constexpr int kTextFunctionIs = 84;
constexpr int kTextMinGrey = 85;
constexpr int kTextMaxGrey = 86;
constexpr int kTextMinArea = 87;
constexpr int kTextMaxArea = 88;
constexpr int kTextSpotChanged = 89;
constexpr int kTextAccuracy = 90;
constexpr int kTextLeastMatch = 91;
constexpr int kTextSpeed = 92;
constexpr int kTextPositionChanged = 93;
constexpr int kTextSensitivity = 94;
constexpr int kTextArea = 95;
constexpr int kTextMinSize = 96;
constexpr int kTextDefectChanged = 97;
constexpr int kTextMoved = 98;
constexpr int kTextChanged = 99;
constexpr int kTextSpot = 15;
constexpr int kTextIgnore = 17;
constexpr int kTextPosition = 21;
constexpr int kTextDefect = 25;

int count(const CammerSingleton& record, int d)
{
    return std::clamp(record.roiNum[d], 0, kMaxRegions);
}

// A spot region keeps its grey range in parameter A: the minimum in the low
// byte, the maximum in the next one.
int minGrey(int a)
{
    return a & 0xFF;
}

int maxGrey(int a)
{
    return (a >> 8) & 0xFF;
}

QString shapeName(int type)
{
    switch (type) {
    case kRoiRect:
        return LanStr(kTextRectangle);
    case kRoiCircle:
        return LanStr(kTextCircle);
    default:
        return LanStr(kTextPolygon);
    }
}

QString functionName(int func)
{
    switch (func) {
    case kFuncIgnoreArea:
        return LanStr(kTextIgnore);
    case kFuncPosition:
        return LanStr(kTextPosition);
    case kFuncSpot:
        return LanStr(kTextSpot);
    default:
        return LanStr(kTextDefect);
    }
}

// The shape of region (d, r) is the same in both records, taken by the
// edited record's shape type.
bool sameShape(const CammerSingleton& live, const CammerSingleton& edit, int d, int r)
{
    const int type = edit.roiType[d][r];
    if (live.roiType[d][r] != type)
        return false;
    switch (type) {
    case kRoiRect:
        return live.rects[d][r].rect == edit.rects[d][r].rect;
    case kRoiCircle: {
        const Circle& a = live.circles[d][r];
        const Circle& b = edit.circles[d][r];
        return a.cx == b.cx && a.cy == b.cy && a.r == b.r && a.rIn == b.rIn;
    }
    default:
        return live.polygons[d][r].pts == edit.polygons[d][r].pts;
    }
}

// One "Changing ... from %1 to %2" piece; empty when the value is the same.
QString changing(int text, int from, int to)
{
    return from == to ? QString() : LanStr(text).arg(from).arg(to);
}

// The parameter part of a region present in both records, by its new
// function; *changed tells whether one of its values changed.
QString parameterPart(const CammerSingleton& live, const CammerSingleton& edit, int d, int r, bool* changed)
{
    const int oldA = live.minWH[d][r], newA = edit.minWH[d][r];
    const int oldB = live.sensitivity[d][r], newB = edit.sensitivity[d][r];
    const int oldC = live.area[d][r], newC = edit.area[d][r];
    QStringList pieces;
    QString text;
    switch (edit.func[d][r]) {
    case kFuncIgnoreArea:
        text = LanStr(kTextIgnore);
        break;
    case kFuncPosition:
        pieces = QStringList{changing(kTextAccuracy, oldB, newB), changing(kTextLeastMatch, oldC, newC),
                  changing(kTextSpeed, oldA, newA)};
        text = LanStr(kTextPositionChanged).arg(pieces[0], pieces[1], pieces[2]);
        break;
    case kFuncSpot:
        pieces = QStringList{changing(kTextMinGrey, minGrey(oldA), minGrey(newA)),
                  changing(kTextMaxGrey, maxGrey(oldA), maxGrey(newA)), changing(kTextMinArea, oldB, newB),
                  changing(kTextMaxArea, oldC, newC)};
        text = LanStr(kTextSpotChanged).arg(pieces[0], pieces[1], pieces[2], pieces[3]);
        break;
    default:
        pieces = QStringList{changing(kTextSensitivity, oldB, newB), changing(kTextArea, oldC, newC),
                  changing(kTextMinSize, oldA, newA)};
        text = LanStr(kTextDefectChanged).arg(pieces[0], pieces[1], pieces[2]);
        break;
    }
    *changed = std::any_of(pieces.begin(), pieces.end(), [](const QString& p) { return !p.isEmpty(); });
    return text;
}

// The function and its parameters as the "Added" line gives them.
QString description(const CammerSingleton& edit, int d, int r)
{
    const QString a = QString::number(edit.minWH[d][r]);
    const QString b = QString::number(edit.sensitivity[d][r]);
    const QString c = QString::number(edit.area[d][r]);
    switch (edit.func[d][r]) {
    case kFuncIgnoreArea:
        return LanStr(kTextIgnore);
    case kFuncPosition:   // search speed A, positioning accuracy B, least match C
        return LanStr(kTextPositionAdded).arg(a, b, c);
    case kFuncSpot:
        return LanStr(kTextSpotAdded)
            .arg(QString::number(minGrey(edit.minWH[d][r])), QString::number(maxGrey(edit.minWH[d][r])), b, c);
    default:   // sensitivity B, filter size A, alarm area C
        return LanStr(kTextDefectAdded).arg(b, a, c);
    }
}

// The line of a region present in both records; empty when neither its
// shape nor one of its parameters changed.
QString changedLine(const CammerSingleton& live, const CammerSingleton& edit, int d, int r)
{
    const bool moved = !sameShape(live, edit, d, r);
    bool changed = false;
    const QString parameters = parameterPart(live, edit, d, r, &changed);
    if (!moved && !changed)
        return QString();
    const int oldFunc = live.func[d][r];
    const QString function = oldFunc == edit.func[d][r]
                                 ? LanStr(kTextFunctionIs)
                                 : LanStr(kTextFunctionFrom) + functionName(oldFunc) + LanStr(kTextFunctionTo);
    return LanStr(kTextChanged).arg(shapeName(edit.roiType[d][r]), QString::number(r + 1), function, parameters,
                                    moved ? LanStr(kTextMoved) : QString());
}

}  // namespace

bool RecordsDiffer(const CammerSingleton& live, const CammerSingleton& edit)
{
    for (int d = 0; d < kMaxDetects; ++d) {
        if (live.roiNum[d] != edit.roiNum[d]
            || !std::equal(std::begin(live.detectFlag[d]), std::end(live.detectFlag[d]),
                           std::begin(edit.detectFlag[d])))
            return true;
        for (int r = 0; r < count(live, d); ++r) {
            if (live.RegionText(d, r) != edit.RegionText(d, r))
                return true;
        }
    }
    return false;
}

RegionChanges RegionChangeLog(const CammerSingleton& live, const CammerSingleton& edit, int camera, int steps,
                              int machineType)
{
    RegionChanges out;
    for (int d = 0; d < std::min(steps, kMaxDetects); ++d) {
        const QString head = LanStr(kTextHead).arg(QString::number(camera + 1), StepName(machineType, d));
        const int before = count(live, d), after = count(edit, d);
        for (int r = 0; r < std::max(before, after); ++r) {
            QString text;
            if (r < before && r < after) {
                text = changedLine(live, edit, d, r);
                out.positionTouched |= live.func[d][r] == kFuncPosition || edit.func[d][r] == kFuncPosition;
            } else if (r < after) {
                text = LanStr(kTextAdded).arg(shapeName(edit.roiType[d][r]), QString::number(r + 1),
                                              description(edit, d, r));
                out.positionTouched |= edit.func[d][r] == kFuncPosition;
            } else {
                text = LanStr(kTextDeleted).arg(shapeName(live.roiType[d][r]), QString::number(r + 1),
                                                functionName(live.func[d][r]));
                out.positionTouched |= live.func[d][r] == kFuncPosition;
            }
            if (!text.isEmpty())
                out.lines << head + text;
        }
    }
    return out;
}
