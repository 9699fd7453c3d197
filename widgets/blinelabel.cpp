#include "widgets/blinelabel.h"

#include "widgets/numbers.h"

#include <QMouseEvent>
#include <QSlider>

int NumericLabelValue(const QString& typed)
{
    const double v = typed.toDouble();  // not a number reads as 0
    return v < 1.0 ? SaturatedInt(v * 10) : SaturatedInt(v);
}

BlineLabel::BlineLabel(QSlider* slider, QWidget* parent, const QString& title, const QString& hint,
                       KeyboardType type)
    : QLabel(parent)
    , slider(slider)
    , title(title)
    , hint(hint)
    , keyboardType(type)
{
    setText(QString::number(slider->value()));
    installEventFilter(this);
}

bool BlineLabel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        runKeyboard();
    return QLabel::eventFilter(watched, event);
}

void BlineLabel::runKeyboard()
{
    oldText = text();
    // A cancel leaves the slider where it was when the touch began, whatever
    // the label showed.
    const int startValue = slider->value();
    clear();
    QString typed;
    if (!RunKeyboard(keyboardType, title, hint, text(), &typed) || typed.isEmpty()) {
        setText(oldText);
        slider->setValue(startValue);
    } else if (keyboardType != KeyboardNumeric) {
        setText(typed);
        slider->setValue(SaturatedInt(typed.toDouble()));
    } else {
        applyNumber(typed);
    }
}

void BlineLabel::applyNumber(const QString& typed)
{
    setText(typed != lastText ? typed : oldText);
    const int v = NumericLabelValue(typed);
    slider->setValue(v);
    // setValue emits nothing for an unchanged value; the owner still hears of
    // an accepted number that leaves the slider where the last one put it.
    if (typed.toDouble() >= 1.0 && lastValue == slider->value())
        emit slider->valueChanged(slider->value());
    lastText = typed;
    lastValue = slider->value();
}
