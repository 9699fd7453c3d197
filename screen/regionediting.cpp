#include "screen/regionediting.h"

#include "core/globals.h"
#include "inspection/editedregions.h"
#include "core/wizardpara.h"
#include "inspection/geometry.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

// One time stamp for the polygon moves of all views.
qint64 gLastPolygonMove = std::numeric_limits<qint64>::min() / 2;

int regionCount(const CammerSingleton& record, int d)
{
    return std::clamp(record.roiNum[d], 0, kMaxRegions);
}

bool isPolygon(const CammerSingleton& record, int d, int r)
{
    const int type = record.roiType[d][r];
    return type != kRoiRect && type != kRoiCircle;
}

Qt::CursorShape handleCursor(int handle)
{
    switch (handle) {
    case 0:
    case 7:
        return Qt::SizeFDiagCursor;
    case 1:
    case 6:
        return Qt::SizeVerCursor;
    case 2:
    case 5:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::SizeHorCursor;
    }
}

void clampPoint(QPoint* p)
{
    int x = p->x(), y = p->y();
    CheckInRange(&x, 1);
    CheckInRange(&y, 0);
    *p = QPoint(x, y);
}

}  // namespace

bool RegionEditing::selectionValid(int d) const
{
    return editSet && editSet->editRecord && selectedRoi >= 0 && selectedRoi < regionCount(record(), d);
}

void RegionEditing::setSelectedFlag(int d, int r, bool on)
{
    CammerSingleton& rec = record();
    switch (rec.roiType[d][r]) {
    case kRoiRect:
        rec.rects[d][r].SetSelected(on);
        break;
    case kRoiCircle:
        rec.circles[d][r].SetSelected(on);
        break;
    default:
        rec.polygons[d][r].SetSelected(on);
        break;
    }
}

bool RegionEditing::handleAt(int d, int r, const QPoint& p, int* handle) const
{
    const CammerSingleton& rec = record();
    switch (rec.roiType[d][r]) {
    case kRoiRect:
        return rec.rects[d][r].PtInCtrl(p, handle);
    case kRoiCircle:
        return rec.circles[d][r].PtInCtrl(p, handle);
    default:
        return rec.polygons[d][r].PtInCtrl(p, handle);
    }
}

bool RegionEditing::containsOrHandle(int d, int r, const QPoint& p) const
{
    int handle = -1;
    if (handleAt(d, r, p, &handle))
        return true;
    const CammerSingleton& rec = record();
    switch (rec.roiType[d][r]) {
    case kRoiRect:
        return rec.rects[d][r].Contains(p);
    case kRoiCircle:
        return rec.circles[d][r].Contains(p);
    default:
        return rec.polygons[d][r].Contains(p);
    }
}

bool RegionEditing::GetSelectedRect(int d)
{
    const CammerSingleton& rec = record();
    for (int r = 0; r < regionCount(rec, d); ++r) {
        const bool on = rec.roiType[d][r] == kRoiRect     ? rec.rects[d][r].IsSelected()
                        : rec.roiType[d][r] == kRoiCircle ? rec.circles[d][r].IsSelected()
                                                          : rec.polygons[d][r].IsSelected();
        if (on) {
            selectedRoi = r;
            return true;
        }
    }
    return false;
}

bool RegionEditing::PtInRegion(int d, const QPoint& p) const
{
    return selectionValid(d) && containsOrHandle(d, selectedRoi, p);
}

bool RegionEditing::PtInRect(int d, const QPoint& p)
{
    const int n = regionCount(record(), d);
    const int start = selectionValid(d) ? selectedRoi : 0;
    for (int i = 0; i < n; ++i) {
        const int r = (start + i) % n;
        if (containsOrHandle(d, r, p)) {
            selectedRoi = r;
            hitPoint = p;
            return true;
        }
    }
    return false;
}

bool RegionEditing::PtInRectMove(int d, const QPoint& p) const
{
    for (int r = 0; r < regionCount(record(), d); ++r)
        if (containsOrHandle(d, r, p))
            return true;
    return false;
}

void RegionEditing::DeselectROI(int d, EditTools& tools)
{
    polyActive = false;
    pendingShape = false;
    editState = kIdle;
    tools.drawTool = kNoTool;
    polyPoints.clear();
    if (selectionValid(d))
        setSelectedFlag(d, selectedRoi, false);
    selectedRoi = -1;
}

EditOutcome RegionEditing::TouchPress(const Touch& t, EditTools& tools)
{
    EditOutcome out;
    editState = kIdle;
    touchDown = true;
    if (tools.copyMode) {
        tools.copyMode = false;
        out.copyAt = true;
    } else if (tools.drawTool == kNoTool) {
        pressWithoutTool(t.step, t.p, out);
    } else {
        pressWithTool(t, tools, out);
    }
    return out;
}

void RegionEditing::pressWithoutTool(int d, const QPoint& p, EditOutcome& out)
{
    lastPoint = p;
    if (GetSelectedRect(d)) {
        if (!PtInRegion(d, p)) {
            lastSelectedRoi = selectedRoi;
            setSelectedFlag(d, selectedRoi, false);
            selectedRoi = -1;
            out.cursor = Qt::CrossCursor;
            return;
        }
        if (handleAt(d, selectedRoi, p, &dragHandle)) {
            editState = kResizing;
        } else {
            editState = kMoving;
            out.cursor = Qt::SizeAllCursor;
        }
    } else if (PtInRect(d, p)) {
        setSelectedFlag(d, selectedRoi, true);
        out.cursor = Qt::SizeAllCursor;
        editState = kMoving;
        selectedPart = 0;
    } else {
        return;
    }
    if (isPolygon(record(), d, selectedRoi))
        polyActive = true;
    else
        pendingShape = true;
}

void RegionEditing::pressWithTool(const Touch& t, EditTools& tools, EditOutcome& out)
{
    out.cursor = Qt::CrossCursor;
    lastPoint = t.p;
    if (tools.drawTool != kPolygonTool) {
        pendingStart = t.p;
        setPendingEnd(t.p);
        editState = kPressed;
        pendingShape = true;
        return;
    }
    editState = kDrawing;
    polyActive = true;
    if (tools.freehandMode)
        return;
    if (polyPoints.size() >= RePolygon::kMaxPoints) {
        polyPoints.resize(RePolygon::kMaxPoints - 1);
        out.warning = kTextPolygonFull;
    } else if (!polyPoints.isEmpty() && PointAround(polyPoints.first(), t.p, kCloseDistance)) {
        const EditOutcome saved = SavePolygon(t.step, tools);
        out.warning = saved.warning;
        out.rebuildPanel = saved.rebuildPanel;
    } else {
        polyPoints.append(t.p);
    }
}

void RegionEditing::setPendingEnd(const QPoint& p)
{
    pendingEnd = p;
    pendingRect.rect = QRect(pendingStart, p);
    pendingCircle.rect = QRect(pendingStart, p).normalized();
    pendingCircle.UpdateAll();
}

bool RegionEditing::reachedMoveThreshold(const QPoint& p) const
{
    return std::abs(p.x() - lastPoint.x()) / gShowAW >= kMoveFramePixels
           || std::abs(p.y() - lastPoint.y()) / gShowAH >= kMoveFramePixels;
}

EditOutcome RegionEditing::TouchMove(const Touch& t, EditTools& tools)
{
    EditOutcome out;
    GetSelectedRect(t.step);
    if (pendingShape)
        dragShape(t);
    else if (!polyActive)
        out.cursor = hoverCursor(t.step, t.p);
    if (polyActive)
        dragPolygon(t, tools);
    return out;
}

void RegionEditing::dragShape(const Touch& t)
{
    const int d = t.step;
    CammerSingleton& rec = record();
    const int r = selectedRoi;
    const bool circle = selectionValid(d) && rec.roiType[d][r] == kRoiCircle;
    switch (editState) {
    case kResizing:
    case kMoving:
        if (!selectionValid(d) || (editState == kMoving && !reachedMoveThreshold(t.p)))
            return;
        if (circle) {
            Circle& c = rec.circles[d][r];
            if (editState == kResizing)
                c.Resize(dragHandle, lastPoint, t.p);
            else
                c.rect.translate(t.p - lastPoint);
            CheckInRange(&c.rect, editState == kMoving);
            c.UpdateAll();
        } else {
            ClustomRect& s = rec.rects[d][r];
            if (editState == kResizing)
                s.Resize(dragHandle, lastPoint, t.p);
            else
                s.rect.translate(t.p - lastPoint);
            CheckInRange(&s.rect, editState == kMoving);
        }
        lastPoint = t.p;
        break;
    case kDrawing: {
        QPoint p = t.p;
        clampPoint(&p);
        setPendingEnd(p);
        break;
    }
    case kPressed:
        editState = kDrawing;
        setPendingEnd(t.p);
        break;
    default:
        break;
    }
}

void RegionEditing::dragPolygon(const Touch& t, const EditTools& tools)
{
    const int d = t.step;
    if (editState == kDrawing && tools.freehandMode) {
        if (polyPoints.size() < kMaxPolygonPoints)
            polyPoints.append(t.p);
        return;
    }
    if (!touchDown || !selectionValid(d))
        return;
    RePolygon& poly = record().polygons[d][selectedRoi];
    if (editState == kResizing) {
        poly.Resize(dragHandle, lastPoint, t.p, gShowAW, gShowAH);
        lastPoint = t.p;
        return;
    }
    if (editState != kMoving || t.ms - gLastPolygonMove < kPolygonMoveMs)
        return;
    gLastPolygonMove = t.ms;
    if (!reachedMoveThreshold(t.p))
        return;
    if (moveRegion(d, selectedRoi, t.p.x() - lastPoint.x(), t.p.y() - lastPoint.y(), t.view)) {
        poly.setImageRect();
        lastPoint = t.p;
    }
}

Qt::CursorShape RegionEditing::hoverCursor(int d, const QPoint& p)
{
    int handle = -1;
    if (selectionValid(d) && handleAt(d, selectedRoi, p, &handle))
        return isPolygon(record(), d, selectedRoi) ? Qt::SizeFDiagCursor : handleCursor(handle);
    return PtInRectMove(d, p) ? Qt::SizeAllCursor : Qt::ArrowCursor;
}

EditOutcome RegionEditing::TouchRelease(const Touch& t, EditTools& tools)
{
    EditOutcome out;
    const int d = t.step;
    if (pendingShape && editState == kDrawing) {
        releaseShape(t, tools, out);
    } else if (pendingShape && editState == kPressed) {
        tools.drawTool = kNoTool;
        editState = kIdle;
        pendingShape = false;
    } else {
        pendingShape = false;
        if (editState == kMoving || editState == kResizing) {
            if (selectionValid(d))
                refreshRegion(d, selectedRoi);
            polyActive = false;
            editState = kIdle;
        } else if (polyActive && editState == kDrawing && tools.freehandMode) {
            if (polyPoints.size() <= kShortStroke) {
                polyActive = false;
                editState = kIdle;
                tools.drawTool = kNoTool;
                polyPoints.clear();
            } else {
                out.warning = SavePolygon(d, tools).warning;
            }
        }
    }
    out.rebuildPanel = true;
    touchDown = false;
    return out;
}

void RegionEditing::releaseShape(const Touch& t, EditTools& tools, EditOutcome& out)
{
    const int d = t.step;
    const bool counts = pendingEnd.x() > pendingStart.x() + kCloseDistance
                        && pendingEnd.y() > pendingStart.y() + kCloseDistance;
    if (counts) {
        const int n = regionCount(record(), d);
        if (n >= kMaxRegions) {
            out.warning = kTextRegionsFull;
            pendingShape = false;
            return;
        }
        addRegion(d, n, tools.drawTool == kCircleTool ? kRoiCircle : kRoiRect);
    }
    tools.drawTool = kNoTool;
    editState = kIdle;
    pendingShape = false;
}

EditOutcome RegionEditing::SavePolygon(int d, EditTools& tools)
{
    EditOutcome out;
    if (editState != kDrawing || tools.drawTool != kPolygonTool)
        return out;
    const int n = regionCount(record(), d);
    if (n >= kMaxRegions) {
        out.warning = kTextRegionsFull;
        return out;
    }
    if (polyPoints.size() < 3)
        return out;
    if (polyPoints.size() > kMaxPolygonPoints)
        polyPoints.resize(kMaxPolygonPoints);
    addRegion(d, n, kRoiPolygon);
    polyActive = false;
    editState = kIdle;
    tools.drawTool = kNoTool;
    polyPoints.clear();
    out.rebuildPanel = true;
    return out;
}

void RegionEditing::addRegion(int d, int n, int shapeType)
{
    CammerSingleton& rec = record();
    rec.roiType[d][n] = shapeType;
    if (shapeType == kRoiRect) {
        rec.rects[d][n] = pendingRect;
    } else if (shapeType == kRoiCircle) {
        rec.circles[d][n] = pendingCircle;
    } else {
        rec.polygons[d][n] = RePolygon(polyPoints.size(), polyPoints.constData());
    }
    setSelectedFlag(d, n, true);
    refreshRegion(d, n);
    NewRegionParameters(rec, d, n, shapeType);
    editSet->roiValue[d][n] = 0;
    if (d == 0)
        rec.outN[n] = 0;
    rec.roiNum[d] = n + 1;
    selectedRoi = n;
}

void RegionEditing::refreshRegion(int d, int r)
{
    record().SetImageRect(d, r);
    editSet->editMasks[d][r] = record().MakeMask(d, r);
}

void RegionEditing::NewRegionParameters(CammerSingleton& rec, int d, int n, int shapeType)
{
    if (n > 0) {
        rec.minWH[d][n] = rec.minWH[d][n - 1];
        rec.sensitivity[d][n] = rec.sensitivity[d][n - 1];
        rec.area[d][n] = rec.area[d][n - 1];
        rec.func[d][n] = rec.func[d][n - 1];
        return;
    }
    const WizardPara& w = *gpWPara;
    constexpr int kKeep = -1;
    const struct {
        bool on;
        int func, minWH, sensitivity, area;
    } firsts[] = {
        {w.spotOn != 0, 1, 0x3200, 80, 500},
        {w.blackAreaOn != 0, 4, kKeep, 50, 100},
        {w.whiteAreaOn != 0, 5, kKeep, 200, 100},
        {w.similarityOn != 0, 6, kKeep, 80, kKeep},
        {w.whiteNumberOn != 0, 7, 5, 128, 1},
        {w.directionOn != 0 && shapeType != kRoiPolygon, 8, 1, 5000, 10000},
        {true, 0, 5, 25, 100},
    };
    for (const auto& f : firsts) {
        if (!f.on)
            continue;
        rec.func[d][n] = f.func;
        if (f.minWH != kKeep)
            rec.minWH[d][n] = f.minWH;
        if (f.sensitivity != kKeep)
            rec.sensitivity[d][n] = f.sensitivity;
        if (f.area != kKeep)
            rec.area[d][n] = f.area;
        return;
    }
}

void RegionEditing::BackMask()
{
    EditedRegions::BackMask(*editSet);
}

void RegionEditing::RestorMask()
{
    EditedRegions::RestorMask(*editSet, *gpWPara);
}
