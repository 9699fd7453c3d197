#include "screen/indexbutton.h"

#include "core/globals.h"

IndexButton::IndexButton(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(gShowW - kWidth, 0, kWidth, gShowH);
}

DrawROIWidget::DrawROIWidget(QWidget* parent)
    : QWidget(parent)
{
}
