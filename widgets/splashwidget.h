#pragma once
// The product logo above the description, model, serial number and program
// version: the start-up splash and the settings screen's about page.

#include <QWidget>

class SplashWidget : public QWidget
{
    Q_OBJECT
public:
    SplashWidget(int logoWidth, QWidget* parent = nullptr);
};
