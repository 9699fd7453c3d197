#include "screen/roioperation.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace {
constexpr int kButtonSize = 60;
}  // namespace

roiOperation::roiOperation(QWidget* parent)
    : BWidget(parent)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(800, 200);
    setStyleSheet(QStringLiteral(
        "QPushButton{border-style:none;background:transparent;}QPushButton:pressed{background-color:#FFC107;}"));
    const struct {
        const char* icon;
        void (roiOperation::*signal)();
    } tools[ToolCount] = {
        {":/img/icons/99.png", &roiOperation::drawRect},      {":/img/icons/98.png", &roiOperation::drawCircle},
        {":/img/icons/97.png", &roiOperation::drawPolygon},   {":/img/icons/96.png", &roiOperation::drawHand},
        {":/img/icons/100.png", &roiOperation::copyArea},     {":/img/icons/101.png", &roiOperation::deleteRegion},
        {":/img/icons/102.png", &roiOperation::deleteAllRegions},
    };
    auto* row = new QHBoxLayout(this);
    row->setSpacing(10);
    row->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < ToolCount; ++i) {
        auto* b = new QPushButton(this);
        b->setFixedSize(kButtonSize, kButtonSize);
        b->setIcon(QIcon(QLatin1String(tools[i].icon)));
        b->setIconSize(QSize(kButtonSize, kButtonSize));
        b->setAutoRepeat(true);
        connect(b, &QPushButton::pressed, this, tools[i].signal);
        row->addWidget(b);
        buttons[i] = b;
    }
    row->addStretch();
}
