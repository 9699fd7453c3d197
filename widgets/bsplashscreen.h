#pragma once
// The 1920 x 1080 start-up splash: the logo at 800 pixels wide and the product texts.

#include <QSplashScreen>

class BSplashScreen : public QSplashScreen
{
    Q_OBJECT
public:
    explicit BSplashScreen(QWidget* parent = nullptr);
};
