#pragma once
// Password box: grants the operator and factory user levels.

#include <QDialog>

class PasswordBox : public QDialog
{
    Q_OBJECT
public:
    explicit PasswordBox(const QString& title, QWidget* parent = nullptr);
};

extern PasswordBox* gpPasswordBox;
