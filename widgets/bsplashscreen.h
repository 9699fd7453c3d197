#pragma once
// The 1920x1080 splash screen shown for one second at start.

#include <QSplashScreen>

class BSplashScreen : public QSplashScreen
{
    Q_OBJECT
public:
    explicit BSplashScreen(QWidget* parent = nullptr);
};
