#include "screen/imagecontainer.h"

#include "core/globals.h"
#include "screen/cammerwidget.h"
#include "screen/mainwindow.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace {
constexpr int kZoomWidth = 86;
constexpr int kZoomHeight = 192;
constexpr int kKnobTravel = 53;
constexpr int kKnobReach = 43;   // a press this close to the knob's centre grabs it
const QPoint kKnobCentre(43, 96);
}  // namespace

ImageContainer::ImageContainer(MainWindow* window)
    : QWidget(window)
    , window(window)
{
    for (int position = 0; position < kMaxCameras; ++position)
        window->views[position] = new CammerWidget(position, this, window);
}

void ImageContainer::showSplit(bool)
{
    window->ChangeCammer();
}

void ImageContainer::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
}

ImageWidget::ImageWidget(int position, QWidget* parent)
    : QWidget(parent)
    , position(position)
    , positionPicture(QPixmap(QStringLiteral(":/img/icons/camNum%1.png").arg(position + 1))
                          .scaledToWidth(48, Qt::SmoothTransformation))
    , cameraPicture(QStringLiteral(":/img/icons/camera.png"))
{
}

void ImageWidget::setIsShowSingle(bool)
{
}

ZoomDrag ZoomDragFor(int d)
{
    if (d < -kKnobTravel)
        return {-kKnobTravel, 100};
    if (d > kKnobTravel)
        return {kKnobTravel, -100};
    return {d, -100 * d / kKnobTravel};
}

ZoomWidget::ZoomWidget(QWidget* parent)
    : QWidget(parent)
    , track(QPixmap(QStringLiteral(":/img/icons/6.png")).scaledToHeight(kZoomHeight, Qt::SmoothTransformation))
    , knob(QPixmap(QStringLiteral(":/img/icons/7.png")).scaledToWidth(kZoomWidth, Qt::SmoothTransformation))
{
    setFixedSize(kZoomWidth, kZoomHeight);
}

void ZoomWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap((width() - track.width()) / 2, 0, track);
    painter.drawPixmap(0, (height() - knob.height()) / 2 + knobOffset, knob);
}

void ZoomWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPointF d = event->localPos() - kKnobCentre;
    if (int(qSqrt(d.x() * d.x() + d.y() * d.y())) <= kKnobReach)
        pressPoint = event->pos();
}

void ZoomWidget::mouseMoveEvent(QMouseEvent* event)
{
    const ZoomDrag drag = ZoomDragFor(qRound(event->localPos().y()) - pressPoint.y());
    knobOffset = drag.knobOffset;
    emit zoomSignal(drag.value);
    update();
}

void ZoomWidget::mouseReleaseEvent(QMouseEvent*)
{
    knobOffset = 0;
    update();
}
