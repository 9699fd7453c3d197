#pragma once
// A text button painted with the shared two-state button picture and white text.

#include <QPushButton>

// Caption pixel size of a size type in a language; 0 leaves the font as it is.
// 3 normal buttons, 4 the main screen's button column, 5 the camera view's panel.
int ColorButtonPixelSize(int sizeType, int lan);

class ColorButton : public QPushButton
{
public:
    ColorButton(const QString& text, QWidget* parent, int sizeType);
    ~ColorButton() override;
    Q_DISABLE_COPY(ColorButton)

    // Auto-repeat while held: first repeat after 300 ms, then every 50 ms.
    void SetRepeat();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int sizeType = 3;
};
