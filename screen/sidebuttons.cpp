#include "screen/sidebuttons.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "widgets/boptionbutton.h"
#include "widgets/combobox.h"

#include <QIcon>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {
constexpr int kSideWidth = 175;
constexpr int kSideHeight = 112;
}  // namespace

BOptionButton* MakeSideButton(const QString& text, const char* icon, QWidget* parent, const char* captionColour)
{
    auto* button = new BOptionButton(parent);
    button->setText(text);
    button->setIcon(QIcon(QLatin1String(icon)));
    button->setCheckable(true);
    button->setStyleSheet(
        QStringLiteral("BOptionButton{background-color:#4ab74c;icon-size:68px 68px;border-style:none;color:%1;"
                       "font-size:18px;padding:10px 0px 0px 0px;}"
                       "BOptionButton:checked{background-color:#ee2329;color:#ffffff;}")
            .arg(QLatin1String(captionColour)));
    return button;
}

QVBoxLayout* MakeSideColumn(QWidget* bar)
{
    auto* column = new QVBoxLayout(bar);
    column->setSpacing(10);
    column->setContentsMargins(0, 0, 0, 0);
    return column;
}

ComboBox* MakeSideChoice(QWidget* parent)
{
    auto* choice = new ComboBox(parent);
    choice->setFixedSize(kSideWidth, kSideHeight);
    choice->setIconSize(QSize(80, 100));
    choice->setItemDelegate(new QStyledItemDelegate(choice));
    choice->setStyleSheet(QStringLiteral(
        "QComboBox{background-color:#d3d3d3;color:#656263;font-size:18px;border-style:none;}"
        "QComboBox QAbstractItemView::item{min-height:100px;min-width:260px;}"));
    return choice;
}

void FillCameraChoice(ComboBox* choice)
{
    const QSignalBlocker quiet(choice);
    choice->clear();
    for (int c = 0; c < numCamera; ++c) {
        const int number = c == 0 ? 59 : 2 * (c + 1) + 57;
        choice->addItem(QIcon(QStringLiteral(":/img/icons/%1.png").arg(number)), LanStr(43).arg(c + 1));
    }
    if (numCamera > 1)
        choice->addItem(QIcon(QStringLiteral(":/img/icons/39a.png")), LanStr(44));
}

void FillSourceChoice(ComboBox* choice, const QString& templateText)
{
    const QSignalBlocker quiet(choice);
    choice->clear();
    const QIcon icon(QStringLiteral(":/img/icons/104.png"));
    choice->addItem(icon, templateText);
    for (int text : {224, 60, 207, 208})
        choice->addItem(icon, LanStr(text));
}
