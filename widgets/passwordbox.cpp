#include "widgets/passwordbox.h"

PasswordBox* gpPasswordBox = nullptr;

PasswordBox::PasswordBox(const QString& title, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    setFixedSize(680, 250);
}
