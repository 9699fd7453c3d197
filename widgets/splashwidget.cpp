#include "widgets/splashwidget.h"

#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace {
// The same in every language.
const char* const kProductTexts[] = {"模内监控器", "TMX-700", "SN48KD902C7716", "16.0.1.6"};
}

SplashWidget::SplashWidget(int logoWidth, QWidget* parent)
    : QWidget(parent)
{
    setStyleSheet(QStringLiteral("QLabel{font-size:22px;color:#656263;}"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(100, 100, 100, 100);
    column->setSpacing(15);
    column->addStretch();
    auto* logo = new QLabel(this);
    const QPixmap picture(QStringLiteral(":/img/icons/0logo.png"));
    if (!picture.isNull())
        logo->setPixmap(picture.scaledToWidth(logoWidth, Qt::SmoothTransformation));
    column->addWidget(logo, 0, Qt::AlignCenter);
    column->addStretch();
    for (const char* text : kProductTexts)
        column->addWidget(new QLabel(QString::fromUtf8(text), this), 0, Qt::AlignLeft);
}
