#include "settings/sliderpage.h"

#include "widgets/blinelabel.h"
#include "widgets/checkbox.h"
#include "widgets/cslider.h"

#include <QGridLayout>
#include <QLabel>

const char* const kValueStyle =
    "font-size:32px;color:#1f3f8d;border-width:0px 0px 2px 0px;border-style:solid;border-color:#1f3f8d;";
const char* const kUnitStyle = "font-size:16px;color:#656263;";

namespace {
constexpr int kSliderWidth = 600;
}

void SliderRow::setVisible(bool visible) const
{
    for (QWidget* w : {static_cast<QWidget*>(caption), static_cast<QWidget*>(slider),
                       static_cast<QWidget*>(value), static_cast<QWidget*>(unit)})
        w->setVisible(visible);
}

void SliderRow::showValue() const
{
    value->setText(text ? text(slider->value()) : QString::number(slider->value()));
}

SliderRow MakeSliderRow(QGridLayout* grid, int row, QWidget* owner, const QString& caption, int min, int max,
                        const QString& unit)
{
    SliderRow r;
    r.caption = new QLabel(caption, owner);
    r.slider = new C_Slider(owner);
    r.slider->setRange(min, max);
    r.slider->setFixedWidth(kSliderWidth);
    r.value = new BlineLabel(r.slider, owner, caption, QString(), KeyboardNumeric);
    r.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    r.value->setStyleSheet(QLatin1String(kValueStyle));
    r.unit = new QLabel(unit, owner);
    r.unit->setStyleSheet(QLatin1String(kUnitStyle));
    grid->addWidget(r.caption, row, 0);
    grid->addWidget(r.slider, row, 1, Qt::AlignCenter);
    grid->addWidget(r.value, row, 2);
    grid->addWidget(r.unit, row, 3);
    return r;
}

SliderRow& SliderPage::addRow(SliderRow row)
{
    connect(row.slider, &QSlider::valueChanged, this, &SliderPage::slotQSliderValue);
    rows.push_back(std::move(row));
    rows.back().showValue();
    return rows.back();
}

void SliderPage::slotQSliderValue(int)
{
    for (const SliderRow& r : rows) {
        if (r.slider == sender())
            r.showValue();
    }
}

void SliderPage::setValues(const std::vector<int>& values, int from)
{
    for (size_t i = 0; i < values.size(); ++i) {
        const SliderRow& r = rows[from + i];
        r.slider->setValue(values[i]);
        r.showValue();
    }
}

std::vector<int> SliderPage::values(int from, int n) const
{
    std::vector<int> v;
    for (int i = from; i < from + n; ++i)
        v.push_back(rows[static_cast<size_t>(i)].slider->value());
    return v;
}

CheckBox* Switches::add(QGridLayout* grid, int row, int pair, QWidget* owner, const QString& caption)
{
    auto* label = new QLabel(caption, owner);
    auto* box = new CheckBox(owner, QString());
    grid->addWidget(label, row, pair * 2);
    grid->addWidget(box, row, pair * 2 + 1);
    boxes.push_back(box);
    captions.push_back(label);
    return box;
}

void Switches::load(const std::vector<bool>& ticks) const
{
    for (size_t i = 0; i < boxes.size() && i < ticks.size(); ++i)
        boxes[i]->setChecked(ticks[i]);
}

std::vector<bool> Switches::ticks() const
{
    std::vector<bool> t;
    for (CheckBox* b : boxes)
        t.push_back(b->isChecked());
    return t;
}

void Switches::setVisible(bool visible) const
{
    for (CheckBox* b : boxes)
        b->setVisible(visible);
    for (QLabel* l : captions)
        l->setVisible(visible);
}
