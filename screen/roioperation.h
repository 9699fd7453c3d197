#pragma once
// The region tool bar every camera view carries (rectangle, circle, polygon,
// freehand, copy, delete, delete all), shown on the selected view while a
// template is edited. Each button reports its press; the region editor acts
// on it, whichever view's bar was pressed.

#include "widgets/bwidget.h"

class QPushButton;

class roiOperation : public BWidget
{
    Q_OBJECT
public:
    enum Tool { Rect, Circle, Polygon, Freehand, Copy, Delete, DeleteAll, ToolCount };

    explicit roiOperation(QWidget* parent = nullptr);
    QPushButton* button(Tool tool) const { return buttons[tool]; }

signals:
    void drawRect();
    void drawCircle();
    void drawPolygon();
    void drawHand();
    void copyArea();
    void deleteRegion();
    void deleteAllRegions();

private:
    QPushButton* buttons[ToolCount] = {};
};
