#include "widgets/editbox.h"

#include "core/globals.h"
#include "widgets/colorbutton.h"
#include "widgets/skin.h"
#include "widgets/unitedit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>

QString StepCaption(int rawStep, int scale)
{
    const double display = double(std::abs(rawStep)) / (scale ? scale : 1);
    return QStringLiteral("%1 %2")
        .arg(rawStep < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(QString::number(display, 'g', QLocale::FloatingPointShortest));
}

EditBox::EditBox(int min, int max, QWidget* parent, const QString& caption, const QString& unit, int type,
                 int scale)
    : QWidget(parent)
    , edit(new EditParam(9, unit, this))
    , addOne(new ColorButton(StepCaption(1, scale), this, 3))
    , subOne(new ColorButton(StepCaption(-1, scale), this, 3))
    , addFive(new ColorButton(StepCaption(5, scale), this, 3))
    , subFive(new ColorButton(StepCaption(-5, scale), this, 3))
    , captionLabel(new QLabel(caption, this))
    , row(new QHBoxLayout(this))
    , boxMin(min)
    , boxMax(max)
    , type(type)
    , scale(scale)
    , captionText(caption)
{
    const bool small = gShowW <= 1024;
    const QSize button = small ? QSize(40, 28) : QSize(130, 50);
    captionLabel->setFixedSize(small ? QSize(65, 28) : QSize(135, 50));
    captionSize = small ? 12 : 27;
    setLabelColor(Qt::yellow);
    edit->setFixedSize(small ? QSize(60, 28) : QSize(150, 50));

    row->setSpacing(small ? 5 : 10);
    row->setSizeConstraint(QLayout::SetFixedSize);
    row->addWidget(captionLabel);
    for (ColorButton* b : {subFive, subOne}) {
        b->setFixedSize(button);
        b->SetRepeat();
        row->addWidget(b);
    }
    row->addWidget(edit);
    for (ColorButton* b : {addOne, addFive}) {
        b->setFixedSize(button);
        b->SetRepeat();
        row->addWidget(b);
    }
    connect(addOne, &QPushButton::clicked, this, &EditBox::AddOne);
    connect(subOne, &QPushButton::clicked, this, &EditBox::SubOne);
    connect(addFive, &QPushButton::clicked, this, &EditBox::AddFive);
    connect(subFive, &QPushButton::clicked, this, &EditBox::SubFive);
    connect(edit, &UnitEdit::focusOut, this, &EditBox::CheckRange);
}

ColorButton* EditBox::stepButton(int step) const
{
    switch (step) {
    case -5:
        return subFive;
    case -1:
        return subOne;
    case 1:
        return addOne;
    default:
        return addFive;
    }
}

void EditBox::step(int delta)
{
    boxValue += delta;
    CheckRange();
}

void EditBox::AddOne()
{
    step(1);
}

void EditBox::SubOne()
{
    step(-1);
}

void EditBox::AddFive()
{
    step(5);
}

void EditBox::SubFive()
{
    step(-5);
}

void EditBox::CheckRange()
{
    if (boxValue >= boxMin)
        boxValue = qMin(boxValue, boxMax);
    else if (!(allowZero && boxValue == 0))
        boxValue = boxMin;
    setValue();
    emit valueChanged(boxValue);
}

void EditBox::setValue(int v)
{
    boxValue = v;
    CheckRange();
}

void EditBox::setValue()
{
    const QString shown = BoxValueText(boxValue, type, scale);
    if (!shown.isNull())
        edit->setText(shown);
}

void EditBox::setInputValue(int v)
{
    boxValue = v;
}

int EditBox::value() const
{
    return boxValue;
}

void EditBox::setUse0(bool allow)
{
    allowZero = allow;
}

void EditBox::setText(const QString& caption)
{
    captionText = caption;
    captionLabel->setText(caption);
}

int EditBox::getType() const
{
    return type;
}

void EditBox::setSampleShow()
{
    for (ColorButton* b : {addOne, subOne, addFive, subFive})
        b->hide();
}

void EditBox::setLabelColor(const QColor& colour)
{
    StyleText(captionLabel, colour, kFontMicroHei, captionSize);
}

void EditBox::paintEvent(QPaintEvent*)
{
}
