#include "widgets/edit.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "widgets/ctypecom.h"
#include "widgets/numberinput.h"
#include "widgets/numcharinput.h"
#include "widgets/numbers.h"
#include "widgets/padtarget.h"

#include <QEvent>
#include <QKeyEvent>

QPoint KeypadPosition(const QRect& fieldRect, const QSize& pad, const QSize& container, int showH)
{
    int x = fieldRect.x();
    int y = fieldRect.y() + fieldRect.height() + 5;
    if (x + pad.width() > container.width())
        x = container.width() - pad.width();
    if (y + pad.height() >= showH - 49)
        y = y - pad.height() - 45;
    if (y + pad.height() > container.height())
        y = container.height() - pad.height();
    return QPoint(x, y);
}

Edit::Edit(int flags, QWidget* parent, int styled)
    : QLineEdit(parent)
    , padFlags(flags)
{
    if (styled == 1)
        C_Type_COM::setTxtQss(this, C_Type_COM::C_BLUE);
    connect(this, &QLineEdit::textChanged, this, &Edit::SlotRange);
}

Edit::~Edit()
{
    if (PadTarget() == this)
        SetPadTarget(nullptr);
}

int Edit::value() const
{
    return ParseSaturated(text());
}

double Edit::valueToDouble() const
{
    return text().toDouble();
}

void Edit::setValue(int v)
{
    setText(QString::number(v));
}

void Edit::setValue(double v)
{
    setText(QString::number(v, 'g', 6));
}

void Edit::setRange(int min, int max)
{
    rangeMin = min;
    rangeMax = max;
}

void Edit::init()
{
    clear();
}

bool Edit::enterDigit(int, bool)
{
    return false;
}

void Edit::SlotRange(const QString& text)
{
    if (rangeMin == -1 || rangeMax == -1)
        return;
    if (rangeMin > rangeMax)
        std::swap(rangeMin, rangeMax);
    const int v = qBound(rangeMin, ParseSaturated(text), rangeMax);
    setText(QString::number(v));  // an unchanged text raises no further change
}

bool Edit::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::FocusIn:
        focusIn();
        break;
    case QEvent::FocusOut:
        focusOut();
        break;
    case QEvent::MouseButtonRelease:
        if (PadTarget())
            dockKeypad();
        break;
    default:
        break;
    }
    return QLineEdit::event(e);
}

void Edit::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Period)
        emit sig_Dot();
    QLineEdit::keyPressEvent(e);
}

void Edit::focusIn()
{
    // A password field never keeps the keyboard focus, but stays the keypads' target.
    if (echoMode() == QLineEdit::Password) {
        clear();
        clearFocus();
        setPlaceholderText(LanStr(125));
    }
    SetPadTarget(this);
}

void Edit::focusOut()
{
    SetPadTarget(nullptr);
    if (gpNumPad)
        gpNumPad->hide();
    if (gpNumCharPad)
        gpNumCharPad->hide();
}

void Edit::dockKeypad()
{
    QWidget* pad = nullptr;
    if (padFlags & PadTextKeyboard) {
        pad = gpNumCharPad;
    } else if (gpNumPad) {
        gpNumPad->eraseAll();
        pad = gpNumPad;
    }
    QWidget* container = parentWidget();
    if (!pad || !container)
        return;
    QRect field = geometry();
    const int levels = (padFlags & PadTwoLevelsUp) ? 2 : (padFlags & PadInGrandparent) ? 1 : 0;
    for (int i = 0; i < levels && container->parentWidget(); ++i) {
        field.translate(container->pos());
        container = container->parentWidget();
    }
    pad->setParent(container);
    pad->move(KeypadPosition(field, pad->size(), container->size(), gShowH));
    pad->show();
    pad->raise();
}
