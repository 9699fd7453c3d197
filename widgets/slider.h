#pragma once
// The touch slider of the region parameter panel, painted by itself: caption,
// value box, "- 1", the groove with its knob, "+ 1". A tap on the value box
// docks the numeric keypad, whose keys set the value.

#include <QAbstractSlider>

class ColorButton;
class Edit;

class Slider : public QAbstractSlider
{
    Q_OBJECT
public:
    Slider(int min, int max, int pageStep, int value, QWidget* parent, const QString& name);

    void Reset(int min, int max, int pageStep, int value, const QString& name);

    ColorButton* addButton() const { return addBtn; }
    ColorButton* subButton() const { return subBtn; }
    Edit* valueField() const { return field; }
    int trackLength() const { return track; }
    QRect knob() const { return knobRect; }

public slots:
    void Add();
    void Sub();
    void SetText(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int knobOffset() const;
    void openKeypad();

    ColorButton* addBtn = nullptr;
    ColorButton* subBtn = nullptr;
    Edit* field = nullptr;
    int grooveWidth = 0;
    int grooveOffset = 0;
    int track = 0;
    QRect knobRect;
    QPoint pressPos{-1, -1};
};

// The value steps a drag of dx pixels makes on a track of trackLength pixels
// for a range of span (truncated toward zero; 0 when the track or span is empty).
int SliderDragSteps(int span, int dx, int trackLength);
