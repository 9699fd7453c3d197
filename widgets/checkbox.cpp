#include "widgets/checkbox.h"

#include "widgets/skin.h"

CheckBox::CheckBox(QWidget* parent, const QString& text)
    : QCheckBox(text, parent)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Qt::yellow);  // every colour group
    setPalette(p);
    setFont(ToolkitFont(kFontMicroHei, 16));
}

int CheckBox::value() const
{
    return checkState() == Qt::Checked ? 1 : 0;
}

void CheckBox::setValue(int v)
{
    setChecked(v != 0);
}
