#include "screen/roioperation.h"

roiOperation::roiOperation(QWidget* parent)
    : BWidget(parent)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(800, 200);
}
