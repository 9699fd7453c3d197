// The parameter panel's rules of region editing: function cycling, fine
// adjustment, moving, the next region under the last tap, copying a region
// and copying the product step to the mould step.

#include "screen/regionediting.h"

#include "core/globals.h"
#include "core/wizardpara.h"
#include "inspection/geometry.h"

#include <algorithm>

namespace {

constexpr int kFunctions = 9;

int regionCount(const CammerSingleton& record, int d)
{
    return std::clamp(record.roiNum[d], 0, kMaxRegions);
}

bool functionOn(int f)
{
    const WizardPara& w = *gpWPara;
    const int on[kFunctions] = {w.defectOn,    w.spotOn,       w.ignoreAreaOn,  w.positionOn, w.blackAreaOn,
                                w.whiteAreaOn, w.similarityOn, w.whiteNumberOn, w.directionOn};
    return on[f] != 0;
}

// The four fine-adjustment buttons as a step of a point: y - 1, x - 1, y + 1, x + 1.
QPoint sizeStep(int k)
{
    static const QPoint steps[4] = {{0, -1}, {-1, 0}, {0, 1}, {1, 0}};
    return steps[std::clamp(k, 0, 3)];
}

void clampPoint(QPoint* p)
{
    int x = p->x(), y = p->y();
    CheckInRange(&x, 1);
    CheckInRange(&y, 0);
    *p = QPoint(x, y);
}

}  // namespace

void RegionEditing::NextFunction(CammerSingleton& rec, int d, int r)
{
    const int current = ((rec.func[d][r] % kFunctions) + kFunctions) % kFunctions;
    int f = current;
    for (int i = 1; i <= kFunctions; ++i) {
        const int next = (current + i) % kFunctions;
        if (functionOn(next)) {
            f = next;
            break;
        }
    }
    constexpr int kKeep = -1;
    static const int firstValues[kFunctions][3] = {
        {5, 25, 100},    {0x3200, 80, 500}, {5, 25, 100},        {10, 10, 10}, {kKeep, 50, 100},
        {kKeep, 200, 100}, {kKeep, 80, kKeep}, {1, 128, 100}, {1, 5000, 10000},
    };
    int* fields[3] = {&rec.minWH[d][r], &rec.sensitivity[d][r], &rec.area[d][r]};
    for (int k = 0; k < 3; ++k)
        if (firstValues[f][k] != kKeep)
            *fields[k] = firstValues[f][k];
    rec.func[d][r] = f;
}

void RegionEditing::ChangeFunc(int d)
{
    if (selectionValid(d))
        NextFunction(record(), d, selectedRoi);
}

int RegionEditing::PartCount(int d) const
{
    if (!selectionValid(d))
        return 0;
    switch (record().roiType[d][selectedRoi]) {
    case kRoiRect:
        return 2;
    case kRoiCircle:
        return 3;
    default:
        return record().polygons[d][selectedRoi].count();
    }
}

void RegionEditing::ChangeObject(int d)
{
    ++selectedPart;
    if (selectedPart >= PartCount(d))
        selectedPart = 0;
}

void RegionEditing::Size(int d, int k)
{
    if (!selectionValid(d))
        return;
    CammerSingleton& rec = record();
    const int r = selectedRoi;
    const QPoint step = sizeStep(k);
    switch (rec.roiType[d][r]) {
    case kRoiRect: {
        QRect& box = rec.rects[d][r].rect;
        if (selectedPart == 1)
            box.setBottomRight(box.bottomRight() + step);
        else
            box.setTopLeft(box.topLeft() + step);
        CheckInRange(&box, false);
        break;
    }
    case kRoiCircle: {
        Circle& c = rec.circles[d][r];
        static const int radiusSteps[4] = {10, 1, -1, -10};
        if (selectedPart == 0) {
            c.rIn += radiusSteps[std::clamp(k, 0, 3)];
        } else {
            if (selectedPart == 1)
                c.r += radiusSteps[std::clamp(k, 0, 3)];
            else
                c.cx += step.x(), c.cy += step.y();
            c.UpdateRect();
        }
        CheckInRange(&c.rect, false);
        c.UpdateAll();
        break;
    }
    default: {
        RePolygon& poly = rec.polygons[d][r];
        if (selectedPart < 0 || selectedPart >= poly.count())
            return;
        QPoint moved = poly.pts[selectedPart] + step;
        clampPoint(&moved);
        poly.pts[selectedPart] = moved;
        break;
    }
    }
    refreshRegion(d, r);
}

bool RegionEditing::moveRegion(int d, int r, int dx, int dy, const QSize& view)
{
    CammerSingleton& rec = record();
    const QPoint shift(dx, dy);
    switch (rec.roiType[d][r]) {
    case kRoiRect:
        rec.rects[d][r].rect.translate(shift);
        CheckInRange(&rec.rects[d][r].rect, true);
        return true;
    case kRoiCircle:
        rec.circles[d][r].rect.translate(shift);
        CheckInRange(&rec.circles[d][r].rect, true);
        rec.circles[d][r].UpdateAll();
        return true;
    default: {
        QVector<QPoint>& pts = rec.polygons[d][r].pts;
        for (const QPoint& v : pts) {
            const QPoint moved = v + shift;
            if (moved.x() < 3 || moved.y() < 3 || moved.x() >= view.width() - 3 || moved.y() >= view.height() - 3)
                return false;
        }
        for (QPoint& v : pts)
            v += shift;
        return true;
    }
    }
}

bool RegionEditing::MoveRegions(int d, int dx, int dy, const QSize& view)
{
    if (!selectionValid(d))
        return false;
    const int first = moveMode == 2 ? 0 : selectedRoi;
    const int last = moveMode == 2 ? regionCount(record(), d) - 1 : selectedRoi;
    for (int r = first; r <= last; ++r) {
        if (!moveRegion(d, r, dx, dy, view))
            return false;
        refreshRegion(d, r);
    }
    return true;
}

bool RegionEditing::NextROI(int d)
{
    const int n = regionCount(record(), d);
    for (int i = 1; i <= n; ++i) {
        const int r = (std::max(selectedRoi, -1) + i) % n;
        if (!containsOrHandle(d, r, hitPoint))
            continue;
        if (selectionValid(d))
            setSelectedFlag(d, selectedRoi, false);
        polyActive = pendingShape = false;
        editState = kIdle;
        setSelectedFlag(d, r, true);
        selectedRoi = r;
        return true;
    }
    return false;
}

int RegionEditing::CopyArea(int d, const QPoint& p)
{
    CammerSingleton& rec = record();
    const int n = regionCount(rec, d);
    if (n == 0)
        return 0;
    if (n >= kMaxRegions)
        return kTextRegionsFull;
    int src = n - 1;
    if (selectionValid(d))
        src = selectedRoi;
    else if (lastSelectedRoi >= 0 && lastSelectedRoi < n)
        src = lastSelectedRoi;
    rec.roiType[d][n] = rec.roiType[d][src];
    switch (rec.roiType[d][src]) {
    case kRoiRect: {
        rec.rects[d][n] = rec.rects[d][src];
        QRect& box = rec.rects[d][n].rect;
        box.translate(p - QPoint((box.left() + box.right()) / 2, (box.top() + box.bottom()) / 2));
        CheckInRange(&box, true);
        break;
    }
    case kRoiCircle: {
        Circle& c = rec.circles[d][n];
        c = rec.circles[d][src];
        c.rect.translate(p - QPoint((c.rect.left() + c.rect.right()) / 2, (c.rect.top() + c.rect.bottom()) / 2));
        CheckInRange(&c.rect, true);
        c.UpdateAll();
        break;
    }
    default: {
        RePolygon& poly = rec.polygons[d][n];
        poly = rec.polygons[d][src];
        const QPoint shift = poly.pts.isEmpty() ? QPoint() : p - poly.pts.first();
        for (QPoint& v : poly.pts) {
            v += shift;
            clampPoint(&v);
        }
        break;
    }
    }
    setSelectedFlag(d, src, false);
    setSelectedFlag(d, n, true);
    refreshRegion(d, n);
    rec.minWH[d][n] = rec.minWH[d][src];
    rec.sensitivity[d][n] = rec.sensitivity[d][src];
    rec.area[d][n] = rec.area[d][src];
    rec.func[d][n] = rec.func[d][src];
    editSet->roiValue[d][n] = 0;
    if (d == 0)
        rec.outN[n] = rec.outN[src];
    rec.roiNum[d] = n + 1;
    selectedRoi = n;
    return 0;
}

