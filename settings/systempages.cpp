#include "settings/systempages.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "widgets/blineedit.h"
#include "widgets/checkbox.h"
#include "widgets/cslider.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kMultiDetectType = 4;
constexpr int kAutoPartsType = 3;
const char* const kPageStyle = "QLabel{font-size:22px;color:#656263;}";

QPushButton* Button(int text, QWidget* owner)
{
    auto* b = new QPushButton(LanStr(text), owner);
    b->setFixedSize(200, 50);
    return b;
}

BLineEdit* PasswordField(QWidget* owner)
{
    auto* f = new BLineEdit(owner, QStringLiteral("设置密码"), QStringLiteral("建议设置6个以上字符"), KeyboardNumeric);
    f->setEchoMode(QLineEdit::Password);
    f->setFixedSize(200, 50);
    return f;
}

}  // namespace

SystemParamsWidget::SystemParamsWidget(QWidget* parent)
    : SliderPage(parent)
{
    setStyleSheet(QLatin1String(kPageStyle));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(100, 50, 100, 50);
    grid->setVerticalSpacing(40);
    const bool multi = gpWPara->machineType == kMultiDetectType;
    const QString seconds = LanStr(540);
    const QString captions[] = {LanStr(multi ? 508 : 161), LanStr(multi ? 509 : 162), LanStr(22), LanStr(24),
                                LanStr(167)};
    const QString units[] = {seconds, seconds, QString(), QString(), QStringLiteral("次")};
    const SliderRules& rules = SystemParamSliders();
    for (int i = 0; i < static_cast<int>(rules.size()); ++i) {
        SliderRow r = MakeSliderRow(grid, i, this, captions[i], rules[i].min, rules[i].max, units[i]);
        if (i == kDelay1 || i == kDelay2)
            r.text = TenthsText;
        addRow(r);
    }
    grid->setRowStretch(static_cast<int>(rules.size()), 1);
    paraInit();
}

void SystemParamsWidget::paraInit()
{
    setReDetectCaption(ReDetectCaption(gpWPara->machineType, gDNum));
}

void SystemParamsWidget::setReDetectCaption(const QString& caption)
{
    rows[kReDetect].caption->setText(caption);
}

void SystemParamsWidget::WizardParaInit()
{
    setValues(LoadSliders(SystemParamSliders(), *gpWParaBak));
}

void SystemParamsWidget::accept()
{
    StoreSliders(SystemParamSliders(), values(0, rowCount()), *gpWParaBak);
}

SystemFunctionsWidget::SystemFunctionsWidget(QWidget* parent)
    : SettingsPage(parent)
    , languages(new QButtonGroup(this))
    , resetCount(Button(172, this))
    , shutDown(Button(209, this))
    , changePassword(Button(171, this))
    , newPassword(PasswordField(this))
    , confirmPassword(PasswordField(this))
    , templateAutoUpdate(new CheckBox(this, LanStr(400)))
{
    setStyleSheet(QLatin1String(kPageStyle));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(100, 50, 200, 50);
    column->setSpacing(40);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(20);
    const bool multi = gpWPara->machineType == kMultiDetectType;
    // The order of SystemFunctionSwitches().
    switches.add(grid, 0, 0, this, LanStr(multi ? 510 : 175));
    switches.add(grid, 0, 1, this, LanStr(174));
    switches.add(grid, 1, 0, this, LanStr(177));
    switches.add(grid, 1, 1, this, LanStr(176));
    switches.boxes.push_back(templateAutoUpdate);
    auto* passwordSwitch = new QGridLayout;
    passwordSwitch->setHorizontalSpacing(20);
    switches.add(passwordSwitch, 0, 0, this, LanStr(170));
    passwordSwitch->addWidget(templateAutoUpdate, 0, 2);
    passwordSwitch->setColumnMinimumWidth(1, 100);
    passwordSwitch->setColumnStretch(3, 1);
    templateAutoUpdate->setStyleSheet(QStringLiteral("font-size:22px;color:#656263;"));
    templateAutoUpdate->setVisible(gpWPara->machineType == kAutoPartsType);
    grid->setColumnMinimumWidth(1, 185);
    grid->setColumnStretch(4, 1);
    column->addLayout(grid);

    auto* language = new QHBoxLayout;
    language->setSpacing(80);
    language->addWidget(new QLabel(LanStr(587), this));
    const std::pair<const char*, int> choices[] = {{"简体中文", 0}, {"繁体中文", 2}, {"English", 1}};
    for (const auto& choice : choices) {
        auto* radio = new QRadioButton(QString::fromUtf8(choice.first), this);
        radio->setStyleSheet(QStringLiteral("font-size:22px;color:#656263;"));
        languages->addButton(radio, choice.second);
        language->addWidget(radio);
    }
    language->addStretch(1);
    column->addLayout(language);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(80);
    actions->addWidget(new QLabel(LanStr(228), this));
    actions->addWidget(resetCount);
    actions->addWidget(shutDown);
    actions->addStretch(1);
    column->addLayout(actions);
    column->addLayout(passwordSwitch);

    auto* password = new QHBoxLayout;
    password->setSpacing(40);
    auto* newLabel = new QLabel(LanStr(226), this);
    newLabel->setFixedSize(100, 50);
    auto* confirmLabel = new QLabel(QStringLiteral("确认:"), this);
    confirmLabel->setFixedSize(50, 50);
    password->addWidget(newLabel);
    password->addWidget(newPassword);
    password->addWidget(confirmLabel);
    password->addWidget(confirmPassword);
    password->addWidget(changePassword);
    password->addStretch(1);
    column->addLayout(password);
    column->addStretch(1);
    SlotConnect();
}

void SystemFunctionsWidget::SlotConnect()
{
    for (QAbstractButton* b : languages->buttons())
        connect(b, &QAbstractButton::clicked, this, &SystemFunctionsWidget::SlotChangeLan);
}

void SystemFunctionsWidget::WizardParaInit()
{
    switches.load(LoadSwitches(SystemFunctionSwitches(), *gpWParaBak));
    if (QAbstractButton* b = languages->button(gLan))
        b->setChecked(true);
    newPassword->clear();
    confirmPassword->clear();
}

void SystemFunctionsWidget::accept()
{
    StoreSwitches(SystemFunctionSwitches(), switches.ticks(), *gpWParaBak);
}

void SystemFunctionsWidget::SlotChangeLan()
{
    emit languageChosen(languages->checkedId());
}
