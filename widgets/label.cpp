#include "widgets/label.h"

#include <QMouseEvent>

Label::Label(QWidget* parent, const QPixmap& picture)
    : QLabel(parent)
{
    setScaledContents(true);
    setPixmap(picture);
}

void Label::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QLabel::mousePressEvent(event);
}
