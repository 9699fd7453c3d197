#include "statistics/temperaturestatisticswidget.h"

#include "core/texttable.h"
#include "core/wizardpara.h"
#include "screen/mainwindow.h"
#include "widgets/edittempbox.h"

#include <QGridLayout>

namespace {

const char* const kUnit = "℃";
constexpr int kRangeMax = 1000;   // 100.0 ℃
constexpr int kShowDivided = 2;   // the box shows its value divided by the scale
constexpr int kScale = 10;
// The slots that the lowest and highest temperature cover.
constexpr int kWatchedSlots[] = {0, 1, 2, 3, 8, 9, 10, 11};

}  // namespace

TemperatureStatisticsWidget::TemperatureStatisticsWidget(QWidget* parent)
    : QWidget(parent)
    , saveSettings([] {
        if (gpWPara && gpWin)
            gpWPara->SaveDatatoFile(gpWin->paramDb);
    })
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 10, 10, 10);
    QFont font{QLatin1String(kFontMicroHei)};
    font.setPointSize(32);
    for (int k = 0; k < kBoxes; ++k) {
        boxes[k] = new EditTempBox(0, kRangeMax, 0, 0, this, QStringLiteral("温度%1").arg(k + 1),
                                   QString::fromUtf8(kUnit), kShowDivided, kScale);
        boxes[k]->setFixedSize(360, 50);
        boxes[k]->setFont(font);
        grid->addWidget(boxes[k], 1 + k % 4, k / 4, Qt::AlignCenter);
    }
    grid->setRowStretch(0, 1);
    grid->setRowStretch(5, 1);
    loadLimits();
}

void TemperatureStatisticsWidget::loadLimits()
{
    if (!gpWPara)
        return;
    for (int k = 0; k < kBoxes; ++k)
        boxes[k]->setValueRange(gpWPara->tempLow[k], gpWPara->tempHigh[k]);
}

void TemperatureStatisticsWidget::updateTemp(const float* temps)
{
    for (int k = 0; k < kBoxes; ++k) {
        readings[k] = ReadTemperature(temps[k]);
        boxes[k]->setValue(readings[k].tenths);
    }
    clacTemp(temps);
}

void TemperatureStatisticsWidget::clacTemp(const float* temps)
{
    lowest = 999999;
    highest = 0;
    for (int slot : kWatchedSlots) {
        lowest = std::min(lowest, temps[slot]);
        highest = std::max(highest, temps[slot]);
    }
}

bool TemperatureStatisticsWidget::judgeTemperature() const
{
    for (int k = 0; k < kBoxes; ++k) {
        if (!InRange(readings[k], boxes[k]->getMinValue(), boxes[k]->getMaxValue()))
            return true;
    }
    return false;
}

void TemperatureStatisticsWidget::showEvent(QShowEvent* event)
{
    loadLimits();
    QWidget::showEvent(event);
}

void TemperatureStatisticsWidget::hideEvent(QHideEvent* event)
{
    if (gpWPara) {
        for (int k = 0; k < kBoxes; ++k) {
            gpWPara->tempLow[k] = boxes[k]->getMinValue();
            gpWPara->tempHigh[k] = boxes[k]->getMaxValue();
        }
        if (saveSettings)
            saveSettings();
    }
    QWidget::hideEvent(event);
}
