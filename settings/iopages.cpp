#include "settings/iopages.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "widgets/blinelabel.h"
#include "widgets/checkbox.h"
#include "widgets/combobox.h"
#include "widgets/splitline.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

const QString kPageStyle = QStringLiteral("QLabel{font-size:22px;color:#656263;}");
const QString kValueStyle = QStringLiteral(
    "font-size:32px;color:#1f3f8d;border-width:0px 0px 2px 0px;border-style:solid;border-color:#1f3f8d;");
const QString kUnitStyle = QStringLiteral("font-size:16px;color:#656263;");
constexpr int kSliderWidth = 600;
constexpr int kTypeCaptionWidth = 206;
constexpr int kTypeWidth = 182;
constexpr int kTypeSpacing = 16;
constexpr int kBreak = 0;
constexpr int kClose = 1;

// Radio buttons in one exclusive group, id = index; each text entry in turn.
void addButtons(QButtonGroup* group, QWidget* parent, const QVector<int>& texts, QLayout* into = nullptr)
{
    for (int id = 0; id < texts.size(); ++id) {
        auto* button = new QRadioButton(LanStr(texts[id]), parent);
        group->addButton(button, id);
        if (into)
            into->addWidget(button);
    }
}

QLabel* caption(int text, QWidget* parent)
{
    return new QLabel(LanStr(text), parent);
}

int tickedId(const QButtonGroup* group)
{
    return group->checkedButton() ? group->checkedId() : -1;
}

}  // namespace

void TickButton(QButtonGroup* group, int id)
{
    if (QAbstractButton* button = group->button(id)) {
        button->setChecked(true);
        return;
    }
    // No button carries the value: none is ticked.
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

bool StoredFactoryShown()
{
    return gpWParaBak && gpWParaBak->showFactoryParams;
}

IOParamsWidget::IOParamsWidget(QWidget* parent)
    : SettingsPage(parent)
    , factoryShown(StoredFactoryShown)
    , typeGroup(new QButtonGroup(this))
    , sideGroup(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("IOParamsWidget"));
    setStyleSheet(kPageStyle);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(100, 50, 50, 50);
    column->setSpacing(100);
    column->addWidget(buildTypeRow());
    column->addWidget(buildTimings());
    if (multiInForce())
        column->addWidget(buildInitialStates());
    column->addStretch(1);
    buildTypeControls();
}

bool IOParamsWidget::multiInForce()
{
    return gpWPara && gpWPara->machineType == IoParamsForm::kMultiDetect;
}

QWidget* IOParamsWidget::buildTypeRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kTypeSpacing);
    QLabel* title = caption(584, row);
    title->setFixedWidth(kTypeCaptionWidth);
    layout->addWidget(title);
    addButtons(typeGroup, row, {384, 385, 386, 399, 472}, layout);
    // Every choice in the same place whatever the language.
    for (QAbstractButton* b : typeGroup->buttons())
        b->setFixedWidth(kTypeWidth);
    layout->addStretch(1);
    return row;
}

QWidget* IOParamsWidget::buildTimings()
{
    auto* grid = new QWidget(this);
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 50, 100, 50);
    layout->setVerticalSpacing(40);
    for (int row = 0; row < IoParamsForm::kSliders; ++row) {
        QSlider* s = sliders[row] = new QSlider(Qt::Horizontal, grid);
        s->setRange(0, IoParamsForm::maximum(row));
        s->setFixedWidth(kSliderWidth);
        const QString title = LanStr(IoParamsForm::caption(row));
        values[row] = new BlineLabel(s, grid, title, QString(), KeyboardNumeric);
        values[row]->setStyleSheet(kValueStyle);
        values[row]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        values[row]->setText(IoParamsForm::label(row, 0));
        auto* unit = caption(540, grid);
        if (row % 2 == 0)
            unit->setStyleSheet(kUnitStyle);
        layout->addWidget(new QLabel(title, grid), row, 0);
        layout->addWidget(s, row, 1, Qt::AlignCenter);
        layout->addWidget(values[row], row, 2);
        layout->addWidget(unit, row, 3);
        connect(s, &QSlider::valueChanged, this, &IOParamsWidget::slotQSliderValue);
    }
    return grid;
}

QWidget* IOParamsWidget::buildInitialStates()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    initialCaption = caption(586, row);
    layout->addWidget(initialCaption);
    for (ComboBox*& box : initialStates) {
        box = new ComboBox(row);
        box->setFixedSize(180, 50);
        box->addItem(LanStr(204));
        box->addItem(LanStr(211));
        layout->addWidget(box);
    }
    layout->addSpacing(20);
    layout->addStretch(1);
    return row;
}

// The mould-side choice and the two multi-detection buttons sit at fixed
// places between the machine-type row and the timings.
void IOParamsWidget::buildTypeControls()
{
    sideCaption = caption(585, this);
    sideCaption->setGeometry(96, 150, 100, 50);
    addButtons(sideGroup, this, {376, 377, 383});
    // 190 px apart: the touch skin's large marks need the room.
    const int sideX[] = {210, 400, 590};
    for (int id = 0; id < 3; ++id)
        sideGroup->button(id)->setGeometry(sideX[id], 150, 190, 50);
    customIo = new QPushButton(LanStr(473), this);
    customIo->setObjectName(QStringLiteral("customIo"));
    customIo->setGeometry(220, 150, 200, 50);
    ioName = new QPushButton(LanStr(498), this);
    ioName->setObjectName(QStringLiteral("ioName"));
    ioName->setGeometry(510, 150, 200, 50);
    applyMachineType(-1);
}

void IOParamsWidget::applyMachineType(int id)
{
    const bool sides = IoParamsForm::showsSides(id);
    const bool buttons = IoParamsForm::showsIoButtons(id);
    sideCaption->setVisible(sides || buttons);
    for (QAbstractButton* b : sideGroup->buttons())
        b->setVisible(sides);
    customIo->setVisible(buttons);
    ioName->setVisible(buttons);
}

void IOParamsWidget::slotQSliderValue(int value)
{
    for (int row = 0; row < IoParamsForm::kSliders; ++row) {
        if (sender() == sliders[row])
            values[row]->setText(IoParamsForm::label(row, value));
    }
}

void IOParamsWidget::WizardParaInit()
{
    if (!gpWParaBak)
        return;
    IoParamsForm form;
    form.load(*gpWParaBak, multiInForce());
    for (int row : {0, 3, 1, 2, 4})
        sliders[row]->setValue(form.slider[row]);
    TickButton(typeGroup, form.machineType);
    TickButton(sideGroup, form.side);
    if (initialCaption) {
        for (int i = 0; i < IoParamsForm::kInitialStates; ++i)
            initialStates[i]->setCurrentIndex(form.initialState[i]);
    }
}

void IOParamsWidget::accept()
{
    if (!gpWParaBak)
        return;
    IoParamsForm form;
    for (int row = 0; row < IoParamsForm::kSliders; ++row)
        form.slider[row] = sliders[row]->value();
    form.machineType = tickedId(typeGroup);
    form.side = tickedId(sideGroup);
    if (initialCaption) {
        for (int i = 0; i < IoParamsForm::kInitialStates; ++i)
            form.initialState[i] = initialStates[i]->currentIndex();
    }
    form.store(*gpWParaBak, multiInForce());
}

void IOParamsWidget::showEvent(QShowEvent* event)
{
    applyMachineType(tickedId(typeGroup));
    if (initialCaption) {
        const bool factory = factoryShown && factoryShown() && multiInForce();
        const int detections = gpWParaBak ? gpWParaBak->multiDetectCount : 0;
        initialCaption->setVisible(factory && IoParamsForm::showsInitialState(0, detections));
        for (int i = 0; factory && i < IoParamsForm::kInitialStates; ++i)
            initialStates[i]->setVisible(IoParamsForm::showsInitialState(i, detections));
    }
    SettingsPage::showEvent(event);
}

IOFunctionsWidget::IOFunctionsWidget(QWidget* parent)
    : SettingsPage(parent)
    , factoryShown(StoredFactoryShown)
    , input4(new QButtonGroup(this))
    , output4(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("IOFunctionsWidget"));
    setStyleSheet(kPageStyle);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(50, 50, 50, 50);
    column->setSpacing(10);

    auto* grid = new QGridLayout;
    grid->setSpacing(20);
    grid->setContentsMargins(7, 7, 7, 7);
    for (int b = 0; b < IoFunctionsForm::kSwitches; ++b) {
        boxes[b] = new CheckBox(this, QString());
        grid->addWidget(caption(IoFunctionsForm::caption(b), this), b / 2, (b % 2) * 2);
        grid->addWidget(boxes[b], b / 2, (b % 2) * 2 + 1);
    }
    column->addLayout(grid);
    column->addWidget(buildUseRow(203, input4, IoFunctionsForm::inputUseText));
    column->addWidget(buildUseRow(334, output4, IoFunctionsForm::outputUseText));
    column->addWidget(createHorizontalSplitLine(this, QStringLiteral("#f5f5f5")));
    for (int pair = 0; pair < 2; ++pair) {
        auto* row = new QHBoxLayout;
        for (int i = pair * 2; i < pair * 2 + 2; ++i) {
            initialGroups[i] = new QButtonGroup(this);
            QLabel* label = caption(IoFunctionsForm::initialStateCaption(i), this);
            row->addWidget(label);
            addButtons(initialGroups[i], this, {204, 211}, row);
            factoryControls << label;
            for (QAbstractButton* b : initialGroups[i]->buttons())
                factoryControls << b;
            row->addSpacing(40);
        }
        row->addStretch(1);
        column->addLayout(row);
    }
    column->addStretch(1);
    for (QWidget* w : factoryControls)
        w->hide();
}

QWidget* IOFunctionsWidget::buildUseRow(int text, QButtonGroup* group, int (*useText)(int))
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(20);
    layout->addWidget(caption(text, row));
    QVector<int> texts;
    for (int id = 0; id < IoFunctionsForm::kUses; ++id)
        texts << useText(id);
    addButtons(group, row, texts, layout);
    layout->addStretch(1);
    return row;
}

void IOFunctionsWidget::WizardParaInit()
{
    if (!gpWParaBak)
        return;
    IoFunctionsForm form;
    form.load(*gpWParaBak);
    for (int b = 0; b < IoFunctionsForm::kSwitches; ++b)
        boxes[b]->setChecked(form.box[b]);
    TickButton(input4, form.input4);
    TickButton(output4, form.output4);
    for (int i = 0; i < IoFunctionsForm::kInitialStates; ++i)
        TickButton(initialGroups[i], form.initialState[i]);
}

void IOFunctionsWidget::accept()
{
    if (!gpWParaBak)
        return;
    IoFunctionsForm form;
    for (int b = 0; b < IoFunctionsForm::kSwitches; ++b)
        form.box[b] = boxes[b]->isChecked();
    form.input4 = tickedId(input4);
    form.output4 = tickedId(output4);
    for (int i = 0; i < IoFunctionsForm::kInitialStates; ++i)
        form.initialState[i] = tickedId(initialGroups[i]);
    form.store(*gpWParaBak);
}

void IOFunctionsWidget::showEvent(QShowEvent* event)
{
    const bool factory = factoryShown && factoryShown();
    for (QWidget* w : factoryControls)
        w->setVisible(factory);
    SettingsPage::showEvent(event);
}
