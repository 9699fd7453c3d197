#include "widgets/slider.h"

#include "core/globals.h"
#include "widgets/colorbutton.h"
#include "widgets/edit.h"
#include "widgets/numbers.h"
#include "widgets/padtarget.h"
#include "widgets/skin.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kGrooveX = 295;
constexpr int kValueBoxX = 135;  // the value box: x 135 to 214
constexpr int kValueBoxW = 80;
}  // namespace

int SliderDragSteps(int span, int dx, int trackLength)
{
    if (trackLength <= 0 || span == 0)
        return 0;
    const float ratio = float(dx) / float(trackLength);
    return int(float(span) * ratio);
}

Slider::Slider(int min, int max, int pageStep, int value, QWidget* parent, const QString& name)
    : QAbstractSlider(parent)
    , addBtn(new ColorButton(QStringLiteral("+ 1"), this, 3))
    , subBtn(new ColorButton(QStringLiteral("- 1"), this, 3))
    , field(new Edit(1 | PadInGrandparent, this, 1))
{
    setOrientation(Qt::Horizontal);
    Reset(min, max, pageStep, value, name);
    for (ColorButton* b : {addBtn, subBtn}) {
        b->setFixedSize(70, 41);
        b->SetRepeat();
    }
    field->setGeometry(0, 0, 0, 60);
    connect(addBtn, &QPushButton::clicked, this, &Slider::Add);
    connect(subBtn, &QPushButton::clicked, this, &Slider::Sub);
    connect(field, &QLineEdit::textChanged, this, &Slider::SetText);
}

void Slider::Reset(int min, int max, int pageStep, int value, const QString& name)
{
    setObjectName(name);
    setMinimum(min);
    setMaximum(max);
    setPageStep(pageStep);
    setValue(value);
    pressPos = QPoint(-1, -1);
    update();
}

void Slider::Add()
{
    setValue(value() + 1);
}

void Slider::Sub()
{
    setValue(value() - 1);
}

void Slider::SetText(const QString& text)
{
    // Empty, negative or not a number reads as 0; a number too large for an int saturates.
    setValue(qMax(0, ParseSaturated(text)));
}

int Slider::knobOffset() const
{
    const int span = maximum() - minimum();
    if (span == 0)
        return 0;
    return int(float(value() - minimum()) / float(span) * float(track));
}

void Slider::resizeEvent(QResizeEvent*)
{
    grooveWidth = width() - 370;
    grooveOffset = int(grooveWidth * 0.03);
    track = int(grooveWidth * 0.95);
    const int y = (height() - 28) / 2 - 6;
    addBtn->move(width() - 70, y);
    subBtn->move(220, y);
}

void Slider::paintEvent(QPaintEvent*)
{
    const int h = height() - 6;
    QPainter painter(this);
    painter.setPen(Qt::green);
    painter.setFont(ToolkitFont(kFontMicroHei, 30));
    painter.drawText(QRect(0, 0, 120, height()), Qt::AlignLeft | Qt::AlignVCenter, objectName());

    const QRect valueBox(kValueBoxX, 3, kValueBoxW, h);
    painter.drawPixmap(valueBox, SkinPixmap(Skin::ValueBox));
    painter.drawText(valueBox, Qt::AlignCenter, QString::number(value()));

    painter.drawPixmap(QRect(kGrooveX, 3, grooveWidth, h), SkinPixmap(Skin::SliderGroove));
    const int offset = knobOffset();
    if (offset > 0)
        painter.drawPixmap(QRect(kGrooveX + grooveOffset, 11, offset, height() - 22), SkinPixmap(Skin::SliderFill));
    knobRect = QRect(kGrooveX + grooveOffset + offset, 3, 10, h);
    painter.drawPixmap(knobRect, SkinPixmap(Skin::SliderKnob));
}

void Slider::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->pos();
    const bool onKnob = p.x() >= knobRect.x() - 20 && p.x() <= knobRect.x() + knobRect.width() + 19;
    pressPos = onKnob ? p : QPoint(-1, -1);
}

void Slider::mouseMoveEvent(QMouseEvent* event)
{
    if (pressPos.x() <= 0)
        return;
    const QPoint p = event->pos();
    const int steps = SliderDragSteps(maximum() - minimum(), p.x() - pressPos.x(), track);
    if (steps == 0)
        return;  // small movements add up until they make a whole step
    setValue(value() + steps);
    pressPos = p;
}

void Slider::mouseReleaseEvent(QMouseEvent* event)
{
    pressPos = QPoint(-1, -1);
    const int x = event->pos().x();
    if (x >= kValueBoxX && x < kValueBoxX + kValueBoxW && gShowW > 1024)
        openKeypad();
}

void Slider::openKeypad()
{
    // The hidden field becomes the keypads' target without taking the focus,
    // then docks the numeric keypad below itself in the slider's parent.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(field, &focusIn);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(0, 0), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &release);
    // The keypad opens on an empty field and the value drops to the minimum
    // at once, also when the field was empty already (and so reported nothing).
    if (PadTarget() == field && field->text().isEmpty())
        SetText(QString());
}
