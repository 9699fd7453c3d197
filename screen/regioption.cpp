#include "screen/regioption.h"

#include "screen/optionbar.h"

RegiOption::RegiOption(QWidget* parent)
    : BWidget(parent)
{
    setFixedWidth(OptionBar::kWidth);
}

AlarmOption::AlarmOption(QWidget* parent)
    : BWidget(parent)
{
    setFixedWidth(OptionBar::kWidth);
}
