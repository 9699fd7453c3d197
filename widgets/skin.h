#pragma once
// The shared pictures and fonts the toolkit paints with. The font families
// are kFontMicroHei and kFontWenQuanYi of the text table.

#include "core/texttable.h"

class QColor;
class QFont;
class QPixmap;
class QWidget;

enum class Skin {
    ButtonUp,     // button skin, normal
    ButtonDown,   // button skin, pressed
    ValueBox,     // the slider's value box ("./images/edit.png", a working-directory file)
    SliderGroove,
    SliderFill,
    SliderKnob,
    Background,   // dialog background
};

// The shared picture (made by Data_Init); an empty pixmap when its file is
// missing or the pictures are not made yet.
const QPixmap& SkinPixmap(Skin which);

// A font of the family at a pixel size.
QFont ToolkitFont(const char* family, int pixelSize);

// Colour and font of a label or caption by its own style sheet, so that the
// program's global label rule does not override them.
void StyleText(QWidget* widget, const QColor& colour, const char* family, int pixelSize);
