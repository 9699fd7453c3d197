#include "widgets/splitline.h"

#include <QString>
#include <QWidget>

namespace {
QWidget* makeLine(QWidget* parent, const QString& colour)
{
    auto* line = new QWidget(parent);
    line->setStyleSheet(QStringLiteral("background-color:") + colour);
    return line;
}
}  // namespace

QWidget* createVerticalSplitLine(QWidget* parent, const QString& colour)
{
    QWidget* line = makeLine(parent, colour);
    line->setFixedWidth(1);
    return line;
}

QWidget* createHorizontalSplitLine(QWidget* parent, const QString& colour)
{
    QWidget* line = makeLine(parent, colour);
    line->setFixedHeight(1);
    return line;
}
