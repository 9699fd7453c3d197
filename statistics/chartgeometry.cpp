#include "statistics/chartgeometry.h"

#include <algorithm>

namespace {

constexpr int kAxisMargin = 20;     // the axes sit 20 px inside the left and bottom edges
constexpr int kTopRoom = 40;        // the y axis starts 40 px below the top
constexpr int kTextHeight = 20;

// A bar of value v whose left edge is left, and the value text above it.
void placeBar(int left, int width, int textWidth, int v, float scale, int height, QRect* bar, QRect* text)
{
    const float h = v * scale;
    *bar = QRect(left, int(height - h - kAxisMargin), width, int(h));
    const int textTop = std::min(height - 2 * kTextHeight, int(height - h - kAxisMargin));
    *text = QRect(left, textTop, textWidth, kTextHeight);
}

}  // namespace

int ChartMaximum(const QList<int>& ok, const QList<int>& ng)
{
    int most = 0;
    for (const QList<int>* list : {&ok, &ng}) {
        for (int v : *list)
            most = std::max(most, v);
    }
    return most;
}

QList<int> ChartSeries(const QList<int>& values, int barCount)
{
    QList<int> series = values.mid(0, barCount);
    while (series.size() < barCount)
        series << 0;
    return series;
}

ChartLayout LayOutChart(const QSize& size, const QList<int>& okValues, const QList<int>& ngValues, int barCount)
{
    const int w = size.width();
    const int h = size.height();
    const QList<int> ok = ChartSeries(okValues, barCount);
    const QList<int> ng = ChartSeries(ngValues, barCount);
    const int maximum = ChartMaximum(ok, ng);

    ChartLayout chart;
    chart.xAxis = QLine(0, h - kAxisMargin, w, h - kAxisMargin);
    chart.yAxis = QLine(kAxisMargin, kTopRoom, kAxisMargin, h);
    const float scale = maximum > 0 ? float(h - 60) / float(maximum) : 0.0f;
    chart.step = (w - 2 * kAxisMargin) / (barCount + 1);
    chart.barWidth = chart.step / 2;
    const int half = chart.step / 2;
    for (int i = 0; i < barCount; ++i) {
        const int x = kAxisMargin + (i + 1) * chart.step;
        ChartBar bar;
        bar.tick = QLine(x, h - 30, x, h - kAxisMargin);
        bar.hourRect = QRect(x - half, h - kAxisMargin, chart.step, kTextHeight);
        placeBar(x - half, chart.barWidth, half, ok[i], scale, h, &bar.okBar, &bar.okText);
        placeBar(x, chart.barWidth, half, ng[i], scale, h, &bar.ngBar, &bar.ngText);
        chart.bars << bar;
    }
    chart.okLegendText = QRect(w - 140, 5, 100, 30);
    chart.okSwatch = QRect(w - 145 - half, 5, chart.barWidth, 30);
    chart.ngLegendText = QRect(w - 245, 5, 100, 30);
    chart.ngSwatch = QRect(w - 250 - half, 5, chart.barWidth, 30);
    return chart;
}
