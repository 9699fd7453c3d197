#include "widgets/bsplashscreen.h"

#include <QPixmap>

BSplashScreen::BSplashScreen(QWidget*)
{
    QPixmap blank(1920, 1080);
    blank.fill(Qt::white);
    setPixmap(blank);
}
