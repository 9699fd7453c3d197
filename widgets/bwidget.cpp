#include "widgets/bwidget.h"

#include <QPainter>
#include <QStyleOption>

BWidget::BWidget(QWidget* parent)
    : QWidget(parent)
{
}

void BWidget::paintEvent(QPaintEvent*)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
