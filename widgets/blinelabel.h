#pragma once
// A label showing a slider's value; a left press opens an on-screen keyboard
// and the number typed sets the slider. On the numeric keyboard a number
// below 1 counts in tenths (0.5 gives 5).

#include "widgets/keyboard.h"

#include <QLabel>

class QAbstractSlider;
class QSlider;

class BlineLabel : public QLabel
{
    Q_OBJECT
public:
    BlineLabel(QSlider* slider, QWidget* parent, const QString& title, const QString& hint, KeyboardType type);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void runKeyboard();
    void applyNumber(const QString& typed);

    QAbstractSlider* slider = nullptr;
    QString title;
    QString hint;
    KeyboardType keyboardType = KeyboardNumeric;
    QString oldText;
    QString lastText;
    int lastValue = 0;
};

// The slider value a number typed on the numeric keyboard stands for.
int NumericLabelValue(const QString& typed);
