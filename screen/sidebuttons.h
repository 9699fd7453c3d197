#pragma once
// The buttons and choices of the three side bars (option bar, editor bar,
// alarm bar): one look, made in one place.

class BOptionButton;
class ComboBox;
class QString;
class QVBoxLayout;
class QWidget;

// A checkable 175 x 112 side button with a 68 px icon over its caption:
// green, red while checked. captionColour is the colour of the caption.
BOptionButton* MakeSideButton(const QString& text, const char* icon, QWidget* parent,
                              const char* captionColour = "#ffffff");
// The bar's column: spacing 10, no margin.
QVBoxLayout* MakeSideColumn(QWidget* bar);
// A 175 x 112 choice with 80 x 100 item icons and 100 px items, grey.
ComboBox* MakeSideChoice(QWidget* parent);
// The camera items of the editor and alarm bars: "Camera N" per camera in
// use, then "All Camera" (index numCamera) when more than one is in use.
void FillCameraChoice(ComboBox* choice);
// The image-source items, in source order (the first item's text given).
void FillSourceChoice(ComboBox* choice, const QString& templateText);
