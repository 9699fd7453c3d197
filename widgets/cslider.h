#pragma once
// A restyled horizontal slider that jumps to where it is released; a release
// within 2 % of either end snaps to that end.

#include <QSlider>

class C_Slider : public QSlider
{
    Q_OBJECT
public:
    explicit C_Slider(QWidget* parent = nullptr);

signals:
    void cChgValue(int value);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The value a release at x gives on a slider w pixels wide over min..max.
int CSliderReleaseValue(int x, int w, int min, int max);
