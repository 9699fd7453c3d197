#include "settings/iowidget.h"

#include "core/globals.h"
#include "core/ionames.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "widgets/bmessagebox.h"
#include "widgets/checkbox.h"
#include "widgets/colorbutton.h"
#include "widgets/combobox.h"
#include "widgets/skin.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>

namespace {

// Narrower than the other controls, so that eight steps fit the dialog.
constexpr int kStepWidth = 148;
constexpr int kRowSpacing = 8;
constexpr int kCountTexts = 501;   // "twice" .. "8 times"
const int kCutModeTexts[IoAssignment::kCutModes] = {474, 475, 523};
constexpr int kDialogTitle = 499;
constexpr int kLastUnowned = 512;

ComboBox* rowBox(QWidget* parent)
{
    auto* box = new ComboBox(parent);
    box->setFixedSize(200, 50);
    box->setItemHeight(50);
    QFont f = box->font();
    f.setPixelSize(28);
    box->setFont(f);
    return box;
}

}  // namespace

IOCheckComBO::IOCheckComBO(IOWidget* dialog, const QString& caption, int count)
    : QWidget(dialog)
    , trigger(rowBox(this))
    , cutMode(rowBox(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kRowSpacing);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (!caption.isEmpty()) {
        auto* label = new QLabel(caption, this);
        label->setFixedSize(200, 50);
        label->setStyleSheet(QStringLiteral("font-size:28px;color:yellow;"));
        layout->addWidget(label);
    }
    layout->addWidget(trigger);
    for (int k = 0; k < count; ++k) {
        auto* box = new CheckBox(this, QString());
        box->setFixedSize(kStepWidth, 50);
        box->setFont(ToolkitFont(kFontMicroHei, 14));
        layout->addWidget(box);
        steps << box;
        connect(box, &QCheckBox::stateChanged, this, [this, k](int state) { emit clickeCheckBox(rowIndex, k, state); });
    }
    for (int text : kCutModeTexts)
        cutMode->addItem(LanStr(text));
    layout->addWidget(cutMode);
    connect(trigger, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int item) { emit changeTrigin(rowIndex, item); });
    connect(cutMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int mode) { emit changeCutMode(rowIndex, mode); });
    connect(this, &IOCheckComBO::clickeCheckBox, dialog, &IOWidget::SlotClickCheckBox);
    connect(this, &IOCheckComBO::changeTrigin, dialog, &IOWidget::SlotChangeTrigin);
}

void IOCheckComBO::show(const IoAssignment& a)
{
    const int n = a.count();
    const QSignalBlocker blockTrigger(trigger);
    trigger->clear();
    const int first = a.firstTrigger(rowIndex);
    for (int t = first; t < n; ++t)
        trigger->addItem(InName(a.inputName(t)));
    trigger->setCurrentIndex(a.trigger(rowIndex) - first);
    for (int k = 0; k < steps.size(); ++k) {
        CheckBox* box = steps[k];
        const QSignalBlocker blockBox(box);
        const bool ticked = a.ticked(rowIndex, k);
        const bool open = ticked || a.available(rowIndex, k);
        box->setCheckable(true);
        box->setChecked(ticked);
        box->setCheckable(open);
        box->setText(OutName(a.outputName(k)));
        box->setStyleSheet(open ? QStringLiteral("color:yellow;") : QStringLiteral("color:grey;"));
        box->setVisible(k < n);
    }
    const QSignalBlocker blockCut(cutMode);
    cutMode->setCurrentIndex(a.cutMode(rowIndex));
    setVisible(rowIndex < n);
}

IOWidget::IOWidget(QWidget* hub)
    : QWidget(hub, Qt::Popup | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , count(new ComboBox(this))
    , resetBtn(new ColorButton(LanStr(497), this, 3))
    , confirm(new ColorButton(LanStr(121), this, 3))
{
    setObjectName(QStringLiteral("IOWidget"));
    setGeometry(0, 98, 1725, 982);
    count->setGeometry(40, 30, 200, 40);   // wide enough for "8 times" in the touch skin
    count->setFont(ToolkitFont(kFontMicroHei, 24));
    count->setItemHeight(40);
    for (int n = IoAssignment::kMinCount; n <= IoAssignment::kRows; ++n)
        count->addItem(LanStr(kCountTexts + n - IoAssignment::kMinCount));
    // Both buttons inside the dialog's right edge.
    resetBtn->setGeometry(1290, 855, 200, 75);
    confirm->setGeometry(1505, 855, 200, 75);
    for (int i = 0; i < IoAssignment::kRows; ++i) {
        auto* row = new IOCheckComBO(this, QString(), IoAssignment::kRows);
        row->rowIndex = i;
        row->move(30, 100 + 70 * i);
        connect(row, &IOCheckComBO::changeCutMode, this, [this](int r, int mode) { model.setCutMode(r, mode); });
        rows << row;
    }
    connect(resetBtn, &QPushButton::clicked, this, &IOWidget::reset);
    connect(confirm, &QPushButton::clicked, this, &IOWidget::accept);
    connect(count, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &IOWidget::SlotChangeDetectNum);
    if (gpWPara)
        model.load(*gpWPara);
    {
        const QSignalBlocker block(count);
        count->setCurrentIndex(model.count() - IoAssignment::kMinCount);
    }
    showRows();
    hide();
}

void IOWidget::showRows()
{
    for (IOCheckComBO* row : rows)
        row->show(model);
}

void IOWidget::setNames(const int* inputs, const int* outputs)
{
    for (int i = 0; i < IoAssignment::kRows; ++i) {
        model.setInputName(i, inputs[i]);
        model.setOutputName(i, outputs[i]);
    }
}

void IOWidget::ResetIOName()
{
    showRows();
}

void IOWidget::reset()
{
    model.reset();
    showRows();
}

void IOWidget::SlotChangeDetectNum(int index)
{
    model.setCount(index + IoAssignment::kMinCount);
    showRows();
}

void IOWidget::SlotClickCheckBox(int row, int step, int state)
{
    model.tick(row, step, state != 0);
    showRows();
}

void IOWidget::SlotChangeTrigin(int row, int item)
{
    model.setTrigger(row, model.firstTrigger(row) + item);
    showRows();
}

void IOWidget::accept()
{
    if (!model.complete()) {
        showWarnBox(LanStr(kLastUnowned));
        // The warning closed the pop-up; the assignment stays open for editing.
        show();
        raise();
        return;
    }
    if (gpWParaBak)
        model.store(*gpWParaBak);
    hide();
    emit stored(model.count());
}

void IOWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (gpPixmapLogo && !gpPixmapLogo->isNull())
        painter.drawPixmap(rect(), *gpPixmapLogo);
    else
        painter.fillRect(rect(), QColor(0x1E, 0x1E, 0x1E));
    painter.setFont(ToolkitFont(kFontMicroHei, 35));
    painter.setPen(QColor(0x00, 0xff, 0xff));
    painter.drawText(QRect((width() - 299) / 2, 20, 300, 50), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextDontClip,
                     LanStr(kDialogTitle));
}
