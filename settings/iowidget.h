#pragma once
// The IO assignment dialog of the multi-detection machine: the number of
// detection steps, and one row per trigger input with its trigger choice,
// a box per detection step (ticked: the row owns the step) and its cut
// mode. The rules live in IoAssignment; the rows only show it. Built once
// from the record in force, it keeps what the operator set between showings.

#include "settings/ioassignment.h"

#include <QWidget>

class CheckBox;
class ColorButton;
class ComboBox;
class IOWidget;
class QLabel;

class IOCheckComBO : public QWidget
{
    Q_OBJECT
public:
    IOCheckComBO(IOWidget* dialog, const QString& caption, int steps);

    // Shows the row as the assignment has it.
    void show(const IoAssignment& a);
    ComboBox* triggerBox() const { return trigger; }
    CheckBox* stepBox(int step) const { return steps.value(step); }
    ComboBox* cutModeBox() const { return cutMode; }
    int rowIndex = 0;

signals:
    void clickeCheckBox(int row, int step, int state);
    void changeTrigin(int row, int item);
    void changeCutMode(int row, int mode);

private:
    ComboBox* trigger = nullptr;
    QVector<CheckBox*> steps;
    ComboBox* cutMode = nullptr;
};

class IOWidget : public QWidget
{
    Q_OBJECT
public:
    explicit IOWidget(QWidget* hub);

    const IoAssignment& assignment() const { return model; }
    ComboBox* countBox() const { return count; }
    IOCheckComBO* row(int i) const { return rows.value(i); }
    ColorButton* resetButton() const { return resetBtn; }
    ColorButton* confirmButton() const { return confirm; }
    // Takes the names chosen for the trigger inputs and step outputs.
    void setNames(const int* inputs, const int* outputs);
    // Every row shows the current names.
    void ResetIOName();

public slots:
    void reset();
    void SlotChangeDetectNum(int index);
    void SlotClickCheckBox(int row, int step, int state);
    void SlotChangeTrigin(int row, int item);
    void accept();

signals:
    // The assignment was stored into the editing copy.
    void stored(int detections);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showRows();

    IoAssignment model;
    ComboBox* count = nullptr;
    ColorButton* resetBtn = nullptr;
    ColorButton* confirm = nullptr;
    QVector<IOCheckComBO*> rows;
};
