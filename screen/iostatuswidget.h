#pragma once
// The IO status strip over the bottom of the camera display area. Painting
// it reads the IO board's state, switches the title bar's input and output
// lamps and draws the alarm output; it paints no background. A press on it
// logs the operator out. The main window repaints it after every polling
// pass, so the lamps follow the board while the strip is visible.

#include <QRect>
#include <QWidget>

class TitleBar;

class IOStatusWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 180;

    // Placed at (0, gShowH - 180) over the full display width.
    explicit IOStatusWidget(QWidget* parent);
    Q_DISABLE_COPY(IOStatusWidget)

    // The bar whose lamps the strip switches (the main window makes it later).
    void setTitleBar(TitleBar* bar) { titleBar = bar; }
    // Repaints the strip (and so the lamps) when the board's inputs 0-3 or
    // outputs 0-3 differ from what it last showed. A hidden strip does not
    // paint, and the lamps keep their pictures.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TitleBar* titleBar = nullptr;
    int shownState = -1;   // inputs 0-3 and outputs 0-3 as last painted
};

// Which of inputs 0-3 have a lamp, and where the alarm output is drawn in a
// strip of the given height: on the multi-detection type only the inputs
// that trigger a detection step, elsewhere all four.
struct IOStripLayout {
    bool inputLamp[4] = {};
    QRect alarmPicture;
};
IOStripLayout StripLayout(int machineType, const int (&trigInput)[8], int height);
