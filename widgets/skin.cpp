#include "widgets/skin.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QWidget>

const char* const kFontMicroHei = "wqy-microhei";
const char* const kFontWenQuanYi = "wenquanyi";

namespace {
const char* const kSkinFiles[] = {
    ":/img/icons/buttonu.png",
    ":/img/icons/buttond.png",
    "./images/edit.png",
    ":/img/icons/sliderd.png",
    ":/img/icons/slideru.png",
    ":/img/icons/slidert.png",
    ":/img/icons/3-1.png",
};
constexpr int kSkinCount = int(sizeof(kSkinFiles) / sizeof(kSkinFiles[0]));
}  // namespace

const QPixmap& SkinPixmap(Skin which)
{
    // Never released: painted until the program ends.
    static QPixmap* pictures[kSkinCount] = {};
    const int i = static_cast<int>(which);
    if (!pictures[i])
        pictures[i] = new QPixmap(QString::fromUtf8(kSkinFiles[i]));
    return *pictures[i];
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
