#pragma once
// The region tool bar every camera view carries (rectangle, circle, polygon,
// freehand, copy, delete, delete all), shown on the selected view while a
// template is edited. The region editor fills it with its buttons.

#include "widgets/bwidget.h"

class roiOperation : public BWidget
{
    Q_OBJECT
public:
    explicit roiOperation(QWidget* parent = nullptr);
};
