#pragma once
// A temperature box: caption, lower alarm bound, the value with its unit,
// upper alarm bound. The bounds are typed on the numeric keypad and pulled
// into the allowed range when a bound field loses the focus.

#include <QWidget>

class EditTempParam;
class QHBoxLayout;
class QLabel;
class QLineEdit;

class EditTempBox : public QWidget
{
    Q_OBJECT
public:
    // The third and fourth numbers are not used.
    EditTempBox(int min, int max, int, int, QWidget* parent, const QString& caption, const QString& unit, int type,
                int scale);

    void setValue(int v);
    bool judgeValue() const;
    void setValueRange(int lo, int hi);
    void setValueRange();
    void setMinValue(int lo);
    void setMaxValue(int hi);
    int getMinValue() const;
    int getMaxValue() const;
    bool checkFocus(QLineEdit* e) const;
    void valueRange(int& lo, int& hi) const;

    EditTempParam* lowerField() const { return lowEdit; }
    EditTempParam* upperField() const { return highEdit; }
    QLabel* valueLabel() const { return valueText; }

signals:
    void valueChanged(int value);

public slots:
    void CheckRange();

private:
    void showBound(QLineEdit* field, int v) const;

    QLabel* captionLabel = nullptr;
    QHBoxLayout* row = nullptr;
    int boxMin = 0;
    int boxMax = 0;
    int sizeMode = 4;
    int current = 0;
    int scale = 1;
    int type = 0;
    QString captionText;
    EditTempParam* highEdit = nullptr;
    EditTempParam* lowEdit = nullptr;
    int low = 0;
    int high = 0;
    QLabel* valueText = nullptr;
};
