#include "widgets/cslider.h"

#include <QMouseEvent>

int CSliderReleaseValue(int x, int w, int min, int max)
{
    if (w <= 0)
        return min;
    if (x > w - w / 50)
        x = w;
    else if (x < w / 50)
        x = 0;
    return int(qint64(x) * (qint64(max) - min) / w + min);
}

C_Slider::C_Slider(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setStyleSheet(QStringLiteral(
        "QSlider{border-color: #bcbcbc;}QSlider::groove:horizontal {border: 1px solid #999999;height: 10px}"
        "QSlider::handle:horizontal {width: 8px;background: rgb(0, 160, 230); margin: -7px -7px -7px -7px;"
        "border-radius: 1px;}"
        "QSlider::sub-page:horizontal{background: qlineargradient(spread:pad, x1:0, y1:1, x2:0, y2:0, "
        "stop:0 #439cf3, stop:0.25 #439cf3, stop:0.5 #439cf3, stop:1 #439cf3);}"
        "QSlider::add-page:horizontal{background: qlineargradient(spread:pad, x1:0, y1:1, x2:0, y2:0, "
        "stop:0 #bcbcbc, stop:0.25 #bcbcbc, stop:0.5 #bcbcbc, stop:1 #bcbcbc);}"));
}

void C_Slider::mouseReleaseEvent(QMouseEvent* event)
{
    setValue(CSliderReleaseValue(event->pos().x(), width(), minimum(), maximum()));
    emit cChgValue(value());
    QSlider::mouseReleaseEvent(event);
}
