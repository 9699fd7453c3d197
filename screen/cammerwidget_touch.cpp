// Touches on a camera view: choosing the view when all are shown, the title
// bar's read-out, panning a zoomed view, and the region editing of the
// template on show (the rules are RegionEditing's).

#include "screen/cammerwidget.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "inspection/cammerrecongnize.h"
#include "inspection/templatestore.h"
#include "screen/roiparapanel.h"
#include "screen/viewreadings.h"
#include "widgets/bmessagebox.h"

#include <QElapsedTimer>
#include <QMouseEvent>

namespace {

constexpr int kTextCopyQuestion = 38;   // "Be sure to copy the selected area?"

qint64 monotonicMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

bool panning(const ViewReadings& r, const QMouseEvent* event)
{
    return r.zoomTool == 2 && r.zoomFactor > 1.1 && (event->buttons() & Qt::LeftButton);
}

}  // namespace

bool CammerWidget::editingHere() const
{
    return complete && cameraIndex < numCamera && gSource == kTemplate && host->editTools();
}

int CammerWidget::editStep() const
{
    return std::clamp(host->viewReadings().editDetect, 0, kMaxDetects - 1);
}

Touch CammerWidget::touchAt(const QPointF& pos) const
{
    const ViewReadings r = host->viewReadings();
    const QPoint w = pos.toPoint();
    const double zoom = r.zoomFactor > 0 ? r.zoomFactor : 1;
    const float sx = r.displayScaleX > 0 ? r.displayScaleX : 1, sy = r.displayScaleY > 0 ? r.displayScaleY : 1;
    Touch t;
    t.p = QPoint(int((w.x() - r.zoomOffset.x()) / zoom / sx), int((w.y() - r.zoomOffset.y()) / zoom / sy));
    t.step = editStep();
    t.view = QSize(int(width() / sx), int(height() / sy));
    t.ms = monotonicMs();
    return t;
}

void CammerWidget::MUpdateXYV(int x, int y)
{
    const ViewReadings r = host->viewReadings();
    const double zoom = r.zoomFactor > 0 ? r.zoomFactor : 1;
    const QPoint at(int((x - r.zoomOffset.x()) * gImageW / (gShowW * zoom)),
                    int((y - r.zoomOffset.y()) * gImageH / (gShowH * zoom)));
    int value = r.cursorValue;
    const cv::Mat& shown = work->imageShow;
    if (at.x() >= 0 && at.y() >= 0 && at.x() < shown.cols && at.y() < shown.rows)
        value = shown.type() == CV_8UC4 ? int(shown.at<uint32_t>(at.y(), at.x())) : shown.at<uint8_t>(at.y(), at.x());
    host->SetCursorReading(at, value);
}

void CammerWidget::mousePressEvent(QMouseEvent* event)
{
    const ViewReadings r = host->viewReadings();
    const QPoint pos = event->localPos().toPoint();
    if (cameraIndex == r.selectedView) {
        lastTouchPos = pos;
        MUpdateXYV(pos.x(), pos.y());
    }
    if (cameraIndex < numCamera && complete) {
        if (r.selectedView == numCamera) {
            host->SelectTouchedView(cameraIndex);
        } else if (!editingHere()) {
            setCursor(Qt::ArrowCursor);
        } else {
            const Touch t = touchAt(event->localPos());
            const EditOutcome out = TouchPress(t, *host->editTools());
            if (out.copyAt)
                copyRegionAt(t.p);
            afterEdit(out);
        }
    }
    QWidget::mousePressEvent(event);
}

void CammerWidget::mouseMoveEvent(QMouseEvent* event)
{
    const ViewReadings r = host->viewReadings();
    const QPoint pos = event->localPos().toPoint();
    if (cameraIndex == r.selectedView)
        MUpdateXYV(pos.x(), pos.y());
    if (cameraIndex < numCamera && complete) {
        const bool liveSource = gSource == -1 || gSource == kLive;
        if (liveSource && panning(r, event)) {
            host->PanSelectedView(pos - lastTouchPos);
            lastTouchPos = pos;
        } else if (editingHere()) {
            const EditOutcome out = TouchMove(touchAt(event->localPos()), *host->editTools());
            const bool idle = !pendingShape && !polyActive;
            if (idle && out.cursor == Qt::ArrowCursor && panning(r, event)) {
                host->PanSelectedView(pos - lastTouchPos);
                lastTouchPos = pos;
            }
            setCursor(out.cursor);
            update();
        }
    }
    QWidget::mouseMoveEvent(event);
}

void CammerWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (editingHere())
        afterEdit(TouchRelease(touchAt(event->localPos()), *host->editTools()));
    QWidget::mouseReleaseEvent(event);
}

void CammerWidget::mouseDoubleClickEvent(QMouseEvent*)
{
}

void CammerWidget::afterEdit(const EditOutcome& out)
{
    if (out.cursor != Qt::ArrowCursor)
        setCursor(out.cursor);
    if (out.warning)
        showWarnBox(LanStr(out.warning));
    if (out.rebuildPanel)
        ShowHideROIPara();
    update();
}

void CammerWidget::copyRegionAt(const QPoint& p)
{
    const int d = editStep();
    if (work->editRecord->roiNum[d] <= 0 || !showChooseBox(LanStr(kTextCopyQuestion)))
        return;
    if (const int warning = CopyArea(d, p))
        showWarnBox(LanStr(warning));
    ShowHideROIPara();
}

void CammerWidget::DeselectROI()
{
    EditTools none;
    EditTools* tools = host->editTools();
    RegionEditing::DeselectROI(editStep(), tools ? *tools : none);
}

void CammerWidget::SavePolygon()
{
    EditTools* tools = host->editTools();
    if (!tools || !complete)
        return;
    afterEdit(RegionEditing::SavePolygon(editStep(), *tools));
}

void CammerWidget::ShowHideROIPara()
{
    if (panel)
        panel->Rebuild();
}

void CammerWidget::HoldTemplates(int step)
{
    if (!complete || step < 0 || step >= kMaxDetects || step == heldStep)
        return;
    ReleaseHeldTemplates();
    TemplateStore::LoadStepTemplates(*work, step);
    heldStep = step;
}

void CammerWidget::ReleaseHeldTemplates()
{
    if (heldStep >= 0)
        TemplateStore::ReleaseTemplates(*work, heldStep);
    heldStep = -1;
}
