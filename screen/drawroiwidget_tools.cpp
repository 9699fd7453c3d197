// The region tool bar's drawing modes: the next touches on the edited view
// draw a rectangle, a circle, a tapped or freehand polygon, or place a copy.

#include "screen/drawroiwidget.h"

#include "core/globals.h"
#include "screen/cammerwidget.h"
#include "screen/mainwindow.h"
#include "screen/roioperation.h"

void DrawROIWidget::connectToolBars()
{
    for (CammerWidget* view : window.views) {
        if (!view)
            continue;
        roiOperation* bar = view->toolBar;
        connect(bar, &roiOperation::drawRect, this, &DrawROIWidget::SlotDrawRect);
        connect(bar, &roiOperation::drawCircle, this, &DrawROIWidget::SlotDrawCircle);
        connect(bar, &roiOperation::drawPolygon, this, &DrawROIWidget::SlotDrawPloygn);
        connect(bar, &roiOperation::drawHand, this, &DrawROIWidget::SlotDrawHand);
        connect(bar, &roiOperation::copyArea, this, &DrawROIWidget::SlotCopyArea);
        connect(bar, &roiOperation::deleteRegion, this, &DrawROIWidget::SlotDeleteROI);
        connect(bar, &roiOperation::deleteAllRegions, this, &DrawROIWidget::SlotDeleteAllROI);
    }
}

void DrawROIWidget::chooseTool(int drawTool)
{
    CammerWidget* view = templateView();
    if (!view)
        return;
    window.tools.copyMode = false;
    view->DeselectROI();
    view->ShowHideROIPara();
    window.tools.drawTool = drawTool;
}

void DrawROIWidget::SlotDrawRect()
{
    chooseTool(kRectTool);
}

void DrawROIWidget::SlotDrawCircle()
{
    chooseTool(kCircleTool);
}

void DrawROIWidget::SlotDrawPloygn()
{
    CammerWidget* view = templateView();
    if (!view)
        return;
    window.tools.copyMode = false;
    window.tools.freehandMode = false;
    if (window.tools.drawTool == kPolygonTool)
        view->SavePolygon();
    else
        chooseTool(kPolygonTool);
}

void DrawROIWidget::SlotDrawHand()
{
    if (!templateView())
        return;
    window.tools.freehandMode = true;
    chooseTool(kPolygonTool);
}

void DrawROIWidget::SlotCopyArea()
{
    if (!templateView())
        return;
    window.tools.copyMode = true;
    window.tools.drawTool = kNoTool;
}
