#pragma once
// The shared pictures and fonts the toolkit paints with.

class QFont;
class QPixmap;
class QString;

enum class Skin {
    ButtonUp,     // button skin, normal
    ButtonDown,   // button skin, pressed
    ValueBox,     // the slider's value box ("./images/edit.png", a working-directory file)
    SliderGroove,
    SliderFill,
    SliderKnob,
    Background,   // dialog background
};

// The picture, loaded once on first use; an empty pixmap when the file is missing.
const QPixmap& SkinPixmap(Skin which);

// Font families of the touch screen.
extern const char* const kFontMicroHei;   // "wqy-microhei"
extern const char* const kFontWenQuanYi;  // "wenquanyi"

// A font of the family at a pixel size.
QFont ToolkitFont(const char* family, int pixelSize);

class QColor;
class QWidget;

// Colour and font of a label or caption by its own style sheet, so that the
// program's global label rule does not override them.
void StyleText(QWidget* widget, const QColor& colour, const char* family, int pixelSize);
