#pragma once
// The narrow column at the right edge of the camera display area (customer
// logo, snapshot buttons, the step chooser of a manual trigger), and the
// controller of the region editor and alarm clearing. Both keep their place
// in the main window until their own parts fill them in.

#include <QWidget>

class IndexButton : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 240;

    // At (gShowW - 240, 0), 240 x gShowH; touches pass to the views below.
    explicit IndexButton(QWidget* parent);

    void ShowHide(int) {}
    void Reset() {}
};

class DrawROIWidget : public QWidget
{
    Q_OBJECT
public:
    explicit DrawROIWidget(QWidget* parent);
};
