#include "statistics/histogram.h"

#include "core/texttable.h"
#include "statistics/chartgeometry.h"

#include <QPainter>

const char* const Histogram::kOkLegend = "产出次数";
const char* const Histogram::kNgLegend = "异常次数";

namespace {

const QColor kOkColour(0, 255, 0, 200);
const QColor kNgColour(255, 0, 0, 200);

// All given values, then zeros up to the bar count.
QList<int> padded(const QList<int>& values, int barCount)
{
    return ChartSeries(values, std::max(barCount, int(values.size())));
}

}  // namespace

Histogram::Histogram(QWidget* parent)
    : QWidget(parent)
{
}

Histogram::Histogram(QWidget* parent, const QList<int>& hourLabels)
    : Histogram(parent, hourLabels, {}, {})
{
}

Histogram::Histogram(QWidget* parent, const QList<int>& labels, const QList<int>& okValues,
                     const QList<int>& ngValues)
    : QWidget(parent)
    , hourLabels(labels)
    , bars(labels.size())
{
    ok = padded(okValues, bars);
    ng = padded(ngValues, bars);
    clcMaxY();
}

void Histogram::modifyDataAxisY(const QList<int>& okValues, const QList<int>& ngValues)
{
    ok = padded(okValues, bars);
    ng = padded(ngValues, bars);
    clcMaxY();
    update();
}

void Histogram::modifyDataAxisY1(const QList<int>& okValues)
{
    modifyDataAxisY(okValues, ng);
}

void Histogram::modifyDataAxisY2(const QList<int>& ngValues)
{
    modifyDataAxisY(ok, ngValues);
}

void Histogram::clcMaxY()
{
    maxY = ChartMaximum(ok, ng);
}

void Histogram::modifydata(const QMap<int, int>&)
{
    bars = 0;
    hourLabels.clear();
    ok.clear();
    ng.clear();
    clcMaxY();
    update();
}

void Histogram::paintEvent(QPaintEvent*)
{
    const ChartLayout chart = LayOutChart(size(), ok, ng, bars);
    QPainter painter(this);
    painter.setPen(Qt::black);
    QFont font{QLatin1String(kFontMicroHei)};
    font.setPointSize(15);
    painter.setFont(font);
    painter.drawLine(chart.xAxis);
    painter.drawLine(chart.yAxis);
    for (int i = 0; i < chart.bars.size(); ++i) {
        const ChartBar& bar = chart.bars[i];
        painter.drawLine(bar.tick);
        painter.drawText(bar.hourRect, Qt::AlignCenter, QString::number(hourLabels[i]));
        painter.fillRect(bar.okBar, kOkColour);
        painter.drawText(bar.okText, Qt::AlignCenter, QString::number(ok[i]));
        painter.fillRect(bar.ngBar, kNgColour);
        painter.drawText(bar.ngText, Qt::AlignCenter, QString::number(ng[i]));
    }
    font.setPointSize(20);
    painter.setFont(font);
    painter.drawText(chart.okLegendText, Qt::AlignCenter, QString::fromUtf8(kOkLegend));
    painter.fillRect(chart.okSwatch, kOkColour);
    painter.drawText(chart.ngLegendText, Qt::AlignCenter, QString::fromUtf8(kNgLegend));
    painter.fillRect(chart.ngSwatch, kNgColour);
}
