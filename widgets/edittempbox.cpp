#include "widgets/edittempbox.h"

#include "widgets/skin.h"
#include "widgets/unitedit.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {
QLabel* blackLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFixedSize(135, 50);
    label->setAlignment(Qt::AlignCenter);
    StyleText(label, Qt::black, kFontMicroHei, 27);
    return label;
}
}  // namespace

EditTempBox::EditTempBox(int min, int max, int, int, QWidget* parent, const QString& caption, const QString& unit,
                         int type, int scale)
    : QWidget(parent)
    , captionLabel(blackLabel(caption, this))
    , row(new QHBoxLayout(this))
    , boxMin(min)
    , boxMax(max)
    , scale(scale)
    , type(type)
    , captionText(caption)
    , highEdit(new EditTempParam(9, unit, this))
    , lowEdit(new EditTempParam(9, unit, this))
    , valueText(blackLabel(QString(), this))
{
    row->setSpacing(10);
    row->setSizeConstraint(QLayout::SetFixedSize);
    row->addWidget(captionLabel);
    row->addWidget(lowEdit);
    row->addWidget(valueText);
    row->addWidget(highEdit);
    for (EditTempParam* f : {lowEdit, highEdit}) {
        f->setFixedSize(150, 50);
        connect(f, &UnitEdit::focusOut, this, &EditTempBox::CheckRange);
    }
}

void EditTempBox::showBound(QLineEdit* field, int v) const
{
    const QString shown = BoxValueText(v, type, scale);
    if (!shown.isNull())
        field->setText(shown);
}

void EditTempBox::setValue(int v)
{
    current = v;
    const QString shown = BoxValueText(v, type, scale);
    if (!shown.isNull())
        valueText->setText(shown);
}

bool EditTempBox::judgeValue() const
{
    return low <= current && current <= high;
}

void EditTempBox::setValueRange(int lo, int hi)
{
    low = lo;
    high = hi;
    setValueRange();
}

void EditTempBox::setValueRange()
{
    showBound(lowEdit, low);
    showBound(highEdit, high);
}

void EditTempBox::setMinValue(int lo)
{
    low = lo;
    showBound(lowEdit, low);
}

void EditTempBox::setMaxValue(int hi)
{
    high = hi;
    showBound(highEdit, high);
}

int EditTempBox::getMinValue() const
{
    return low;
}

int EditTempBox::getMaxValue() const
{
    return high;
}

bool EditTempBox::checkFocus(QLineEdit* e) const
{
    return e == highEdit;
}

void EditTempBox::valueRange(int&, int&) const
{
}

void EditTempBox::CheckRange()
{
    low = qBound(boxMin, low, boxMax);
    high = qBound(boxMin, high, boxMax);
    setValueRange();
}
