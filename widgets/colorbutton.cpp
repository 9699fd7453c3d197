#include "widgets/colorbutton.h"

#include "core/texttable.h"
#include "widgets/skin.h"

#include <QPainter>

int ColorButtonPixelSize(int sizeType, int lan)
{
    switch (sizeType) {
    case 3:
        return lan == 0 ? 27 : 22;
    case 4:
    case 5:
        return 24;
    default:
        return 0;
    }
}

ColorButton::ColorButton(const QString& text, QWidget* parent, int sizeType)
    : QPushButton(text, parent)
    , sizeType(sizeType)
{
}

ColorButton::~ColorButton() = default;

void ColorButton::SetRepeat()
{
    setAutoRepeat(true);
    setAutoRepeatDelay(300);
    setAutoRepeatInterval(50);
}

void ColorButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), SkinPixmap(isDown() ? Skin::ButtonDown : Skin::ButtonUp));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setFamily(QString::fromLatin1(kFontMicroHei));
    if (const int px = ColorButtonPixelSize(sizeType, gLan))
        font.setPixelSize(px);
    painter.setFont(font);
    painter.drawText(rect(), Qt::AlignCenter, text());
}
