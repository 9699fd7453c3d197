#pragma once
// The field of a value box: a framed, centred Edit with an optional unit
// label that follows the centred text, reporting when it loses the focus.
// Digits typed on the numeric keypad go through the box, not the text.

#include "widgets/edit.h"

class EditBox;
class EditTempBox;
class QLabel;

class UnitEdit : public Edit
{
    Q_OBJECT
public:
    UnitEdit(int flags, const QString& unit, QWidget* box);

signals:
    void focusOut();

public slots:
    void ChangeLabelP(const QString& text);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    QLabel* unitLabel = nullptr;
    int unitFontSize = 27;
    int unitX = 0;
};

// The field of an EditBox.
class EditParam : public UnitEdit
{
    Q_OBJECT
public:
    EditParam(int flags, const QString& unit, EditBox* box);
    bool enterDigit(int digit, bool replace) override;

private:
    EditBox* box = nullptr;
};

// A bound field of an EditTempBox.
class EditTempParam : public UnitEdit
{
    Q_OBJECT
public:
    EditTempParam(int flags, const QString& unit, EditTempBox* box);
    bool enterDigit(int digit, bool replace) override;

private:
    EditTempBox* box = nullptr;
};

// How a value box shows a raw value: type 0 as an integer, type 2 divided by
// scale ('g', six digits); a null text for other types (the field is left as it is).
QString BoxValueText(int value, int type, int scale);
