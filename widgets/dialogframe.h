#pragma once
// The look shared by the warning, yes/no, message and password boxes: a white
// 680 x 250 box centred on the camera display area, a title column, a thin
// vertical line, and on the right an icon, the message and large touch buttons.

class QDialog;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QRect;
class QString;
class QVBoxLayout;
class QWidget;

// The style sheet set on each box.
extern const char* const kDialogSheet;
constexpr int kDialogButtonHeight = 72;

// 680 x 250 centred on the display area gShowW x gShowH as it is now. Given
// the box, a message too long for 250 pixels makes the box as much taller as
// it needs (still centred), so that no line of it is cut off.
QRect DialogBoxGeometry(QWidget* box = nullptr);

// Gives box the sheet and the frame: the title column (title fixed to
// titleWidth, its font made smaller where a word of it would not fit), the
// separator and the right part, which is returned to fill.
QVBoxLayout* BuildDialogFrame(QDialog* box, QLabel* title, int titleWidth);

// A label of size x size showing the picture scaled smoothly (empty when the
// picture is missing or path is empty).
QLabel* IconLabel(QWidget* parent, const QString& path, int size);

// The icon beside a word-wrapped text that sits under a 12-pixel gap.
QHBoxLayout* IconTextRow(QLabel* icon, QLabel* text);

// A row of touch buttons with margins and spacing 30.
QHBoxLayout* ButtonRow(QPushButton* first, QPushButton* second);
