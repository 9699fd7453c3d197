#pragma once
// Page 0 of the main window's content stack: the parent of the eight camera
// views, which it creates and hands to the main window; the main window lays
// them out. Also two widgets of the same screen that no screen builds: a
// camera placeholder and a vertical zoom knob.

#include <QPixmap>
#include <QPoint>
#include <QWidget>

class MainWindow;

class ImageContainer : public QWidget
{
    Q_OBJECT
public:
    // Creates the views of positions 0 to 7 in order and registers each in
    // the window's views before the next is made.
    explicit ImageContainer(MainWindow* window);
    Q_DISABLE_COPY(ImageContainer)

    // Lays the views out again (the argument is not used).
    void showSplit(bool split);

    MainWindow* const window;
    const bool splitMode = true;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class ImageWidget : public QWidget
{
    Q_OBJECT
public:
    ImageWidget(int position, QWidget* parent = nullptr);
    void setIsShowSingle(bool single);

    const int position;
    QPixmap positionPicture;
    QPixmap cameraPicture;
};

// Knob offset and reported zoom rate of a drag d pixels below the press
// (negative: above): the knob follows up to 53 pixels either way, the rate
// runs from 100 (up) to -100 (down).
struct ZoomDrag {
    int knobOffset = 0;
    int value = 0;
};
ZoomDrag ZoomDragFor(int d);

class ZoomWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ZoomWidget(QWidget* parent = nullptr);

    int knobOffset = 0;

signals:
    void zoomSignal(int zoomValue);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap track;
    QPixmap knob;
    QPoint pressPoint;
};
