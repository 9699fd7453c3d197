#pragma once
// A stepped value box: caption, "- 5" and "- 1" steps, the value field with
// its unit, "+ 1" and "+ 5" steps. Values are raw; type 2 shows them divided
// by the scale. Every change is clamped into the range and reported.

#include <QWidget>

class ColorButton;
class EditParam;
class QHBoxLayout;
class QLabel;

class EditBox : public QWidget
{
    Q_OBJECT
public:
    EditBox(int min, int max, QWidget* parent, const QString& caption, const QString& unit, int type, int scale);

    void setValue(int v);
    void setValue();
    void setInputValue(int v);
    int value() const;
    void setUse0(bool allow);
    void setText(const QString& caption);
    int getType() const;
    void setSampleShow();
    void setLabelColor(const QColor& colour);

    EditParam* field() const { return edit; }
    ColorButton* stepButton(int step) const;   // -5, -1, 1 or 5

signals:
    void valueChanged(int value);

public slots:
    void AddOne();
    void SubOne();
    void AddFive();
    void SubFive();
    void CheckRange();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void step(int delta);

    EditParam* edit = nullptr;
    ColorButton* addOne = nullptr;
    ColorButton* subOne = nullptr;
    ColorButton* addFive = nullptr;
    ColorButton* subFive = nullptr;
    QLabel* captionLabel = nullptr;
    QHBoxLayout* row = nullptr;
    int boxMin = 0;
    int boxMax = 0;
    int sizeMode = 4;
    int boxValue = 0;
    int type = 0;
    int scale = 1;
    QString captionText;
    bool allowZero = false;
    int captionSize = 27;
};

// The caption of a step button: "+ 0.1" for +1 raw at scale 10.
QString StepCaption(int rawStep, int scale);
