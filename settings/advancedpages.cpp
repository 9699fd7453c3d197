#include "settings/advancedpages.h"

#include "core/texttable.h"
#include "core/wizardpara.h"
#include "widgets/blineedit.h"
#include "widgets/checkbox.h"
#include "widgets/combobox.h"
#include "widgets/cslider.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* Button(int text, QWidget* owner, QSize size)
{
    auto* b = new QPushButton(LanStr(text), owner);
    b->setMinimumSize(size);   // wider where the text needs it
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return b;
}

QLabel* Caption(int text, QWidget* owner)
{
    auto* l = new QLabel(LanStr(text), owner);
    l->setMinimumSize(130, 50);
    return l;
}

}  // namespace

AdvanceparamWidget::AdvanceparamWidget(QWidget* parent)
    : SliderPage(parent)
    , groupName(new BLineEdit(this, QString(), QString(), KeyboardFull))
    , groupList(new ComboBox(this))
    , backup(Button(182, this, {100, 50}))
    , restore(Button(183, this, {100, 50}))
    , remove(Button(184, this, {100, 50}))
{
    setStyleSheet(QStringLiteral(
        "QLabel{font-size:22px;color:#656263;}QPushButton{color:#656263;}QSlider { height:120;}"
        "QSlider::handle:horizontal{ }QComboBox { combobox-popup: 0;}"
        "QComboBox QAbstractItemView::item { min-height: 60px; }"));
    groupName->setFixedSize(200, 50);
    groupList->setFixedWidth(200);
    groupList->setMinimumHeight(50);
    groupList->setItemHeight(60);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(100, 50, 50, 30);
    column->setSpacing(20);
    auto* groups = new QGridLayout;
    groups->setSpacing(20);
    groups->addWidget(Caption(261, this), 0, 0);
    groups->addWidget(groupName, 0, 1);
    groups->addWidget(backup, 0, 2);
    groups->addWidget(Caption(571, this), 1, 0);
    groups->addWidget(groupList, 1, 1);
    groups->addWidget(restore, 1, 2);
    groups->addWidget(remove, 1, 3);
    groups->setColumnStretch(4, 1);
    column->addLayout(groups);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 50, 100, 50);
    grid->setVerticalSpacing(20);
    const int captions[] = {213, 188, 181, 403, 243, 189, 185, 186, 187};
    const QString seconds = LanStr(540);
    const QString sheets = LanStr(570);
    const QString units[] = {QString(), QString(), QStringLiteral("个"), QString(), seconds, seconds,
                             sheets, sheets, sheets};
    const SliderRules& rules = AdvancedParamSliders();
    for (int i = 0; i < static_cast<int>(rules.size()); ++i)
        addRow(MakeSliderRow(grid, i, this, LanStr(captions[i]), rules[i].min, rules[i].max, units[i]));
    column->addLayout(grid);
    column->addStretch(1);
}

void AdvanceparamWidget::slotQSliderValue(int value)
{
    C_Slider* screenOff = rows[kScreenOffRow].slider;
    if (sender() == screenOff && ScreenOffValue(value) != value)
        screenOff->setValue(ScreenOffValue(value));   // shows through the signal it emits
    else
        SliderPage::slotQSliderValue(value);
}

void AdvanceparamWidget::WizardParaInit()
{
    std::vector<int> v = LoadSliders(AdvancedParamSliders(), *gpWParaBak);
    v[kScreenOffRow] = ScreenOffValue(v[kScreenOffRow]);
    setValues(v);
    // The group in force: its entry selected, its name in the field.
    groupName->clear();
    groupList->setCurrentIndex(0);
    groupName->clear();
    groupList->setCurrentIndex(gpWPara->paramGroup < groupList->count() ? gpWPara->paramGroup : -1);
}

void AdvanceparamWidget::accept()
{
    StoreSliders(AdvancedParamSliders(), values(0, rowCount()), *gpWParaBak);
}

AdvanceFuncWidget::AdvanceFuncWidget(QWidget* parent)
    : SettingsPage(parent)
    , updateProgram(Button(325, this, {200, 50}))
    , modifyTime(Button(401, this, {200, 50}))
    , calibrate(Button(458, this, {200, 50}))
    , exportData(Button(326, this, {200, 50}))
    , factoryReset(Button(551, this, {200, 50}))
    , exitProgram(Button(210, this, {200, 50}))
    , hardwareInfo(Button(551, this, {200, 50}))
{
    setStyleSheet(QStringLiteral("QLabel{font-size:22px;color:#656263;}QPushButton{color:#656263;}"));
    exitProgram->hide();
    hardwareInfo->hide();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(30, 30, 30, 30);
    column->setSpacing(0);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(30, 15, 5, 5);
    grid->setVerticalSpacing(20);
    grid->setHorizontalSpacing(20);
    // Left, right of each row: the order of AdvancedFunctionSwitches().
    const int captions[] = {254, 342, 272, 556, 256, 457, 191, 470, 389, 471, 194, 558, 341};
    for (int i = 0; i < static_cast<int>(std::size(captions)); ++i)
        switches.add(grid, i / 2, i % 2, this, LanStr(captions[i]));
    auto* testLabel = new QLabel(LanStr(201), this);
    saveTestImages = new CheckBox(this, QString());
    grid->addWidget(testLabel, 6, 2);
    grid->addWidget(saveTestImages, 6, 3);
    // Caption columns wide enough for every language, so the boxes line up.
    grid->setColumnMinimumWidth(0, 400);
    grid->setColumnMinimumWidth(2, 420);
    grid->setColumnStretch(4, 1);
    column->addLayout(grid);

    const std::vector<QPushButton*> buttonRows[] = {{updateProgram, modifyTime, calibrate},
                                                    {exportData, factoryReset}};
    for (const auto& buttons : buttonRows) {
        auto* line = new QHBoxLayout;
        line->setContentsMargins(30, 30, 30, 30);
        line->setSpacing(20);
        for (QPushButton* b : buttons)
            line->addWidget(b);
        line->addStretch(1);
        column->addLayout(line);
    }
    column->addStretch(1);
}

bool AdvanceFuncWidget::factoryTicked() const
{
    return switches.boxes[kFactorySwitch]->isChecked();
}

void AdvanceFuncWidget::WizardParaInit()
{
    switches.load(LoadSwitches(AdvancedFunctionSwitches(), *gpWParaBak));
    saveTestImages->setChecked(testImages && testImages());
}

void AdvanceFuncWidget::accept()
{
    StoreSwitches(AdvancedFunctionSwitches(), switches.ticks(), *gpWParaBak);
    if (setTestImages)
        setTestImages(saveTestImages->isChecked());
}
