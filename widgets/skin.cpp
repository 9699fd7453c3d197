#include "widgets/skin.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QWidget>

const QPixmap& SkinPixmap(Skin which)
{
    QPixmap* picture = nullptr;
    switch (which) {
    case Skin::ButtonUp:
        picture = gpPixmapButton[0];
        break;
    case Skin::ButtonDown:
        picture = gpPixmapButton[1];
        break;
    case Skin::ValueBox:
        picture = gpPixmapEdit;
        break;
    case Skin::SliderGroove:
        picture = gpPixmapSliderd;
        break;
    case Skin::SliderFill:
        picture = gpPixmapSlideru;
        break;
    case Skin::SliderKnob:
        picture = gpPixmapSlidert;
        break;
    case Skin::Background:
        picture = gpPixmapBG;
        break;
    }
    static const QPixmap none;
    return picture ? *picture : none;
}

QFont ToolkitFont(const char* family, int pixelSize)
{
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixelSize);
    return font;
}

void StyleText(QWidget* widget, const QColor& colour, const char* family, int pixelSize)
{
    widget->setStyleSheet(QStringLiteral("color:%1;font-family:%2;font-size:%3px;")
                              .arg(colour.name(), QLatin1String(family))
                              .arg(pixelSize));
}
