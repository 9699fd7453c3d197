#include "widgets/unitedit.h"

#include "widgets/editbox.h"
#include "widgets/edittempbox.h"
#include "widgets/numbers.h"
#include "widgets/skin.h"

#include <QLabel>

QString BoxValueText(int value, int type, int scale)
{
    if (type == 0)
        return QString::number(value);
    if (type == 2)
        return QString::number(double(value) / (scale ? scale : 1), 'g', 6);
    return QString();
}

UnitEdit::UnitEdit(int flags, const QString& unit, QWidget* box)
    : Edit(flags, box, 1)
{
    setFocusPolicy(Qt::StrongFocus);
    setAlignment(Qt::AlignCenter);
    setFont(ToolkitFont(kFontMicroHei, unitFontSize));
    if (unit.isEmpty())
        return;
    unitLabel = new QLabel(unit, this);
    unitLabel->setFont(ToolkitFont(kFontMicroHei, unitFontSize));
    unitLabel->setAlignment(Qt::AlignCenter);
    unitLabel->setFixedSize(unit.length() * unitFontSize + 10, 50);
    setTextMargins(0, 0, unitLabel->width(), 0);
    connect(this, &QLineEdit::textChanged, this, &UnitEdit::ChangeLabelP);
}

void UnitEdit::ChangeLabelP(const QString& text)
{
    unitX = (width() - unitLabel->width() + int(13.5 * text.length())) / 2;
    unitLabel->move(unitX, 1);
}

void UnitEdit::focusOutEvent(QFocusEvent* event)
{
    emit focusOut();
    Edit::focusOutEvent(event);
}

EditParam::EditParam(int flags, const QString& unit, EditBox* box)
    : UnitEdit(flags, unit, box)
    , box(box)
{
}

bool EditParam::enterDigit(int digit, bool replace)
{
    box->setValue(replace ? digit : AppendDigit(box->value(), digit));
    return true;
}

EditTempParam::EditTempParam(int flags, const QString& unit, EditTempBox* box)
    : UnitEdit(flags, unit, box)
    , box(box)
{
}

bool EditTempParam::enterDigit(int digit, bool replace)
{
    if (box->checkFocus(this))
        box->setMaxValue(replace ? digit : AppendDigit(box->getMaxValue(), digit));
    else
        box->setMinValue(replace ? digit : AppendDigit(box->getMinValue(), digit));
    return true;
}
