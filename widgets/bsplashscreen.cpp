#include "widgets/bsplashscreen.h"

#include "widgets/splashwidget.h"

#include <QVBoxLayout>

BSplashScreen::BSplashScreen(QWidget* parent)
    : QSplashScreen(QPixmap())
{
    if (parent)
        setParent(parent, windowFlags());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new SplashWidget(800, this));
    // The whole screen; an empty picture would have centred a window of no size.
    setFixedSize(1920, 1080);
    move(0, 0);
}
