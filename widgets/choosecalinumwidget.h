#pragma once
// A yes/no box with a choice of 4, 9 or 25 calibration points.

#include "widgets/bmessagebox.h"

class ComboBox;

class ChooseCaliNumWidget : public ChooseBox
{
    Q_OBJECT
public:
    explicit ChooseCaliNumWidget(QWidget* parent = nullptr);

    ComboBox* pointCount() const { return combo; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ComboBox* combo = nullptr;
};
