#pragma once
// Where the bar chart puts its axes, bars, value texts and legend, for a
// chart of a given size: one OK bar (left) and one NG bar (right) per hour
// label, scaled so that the largest value reaches 60 px below the top.

#include <QLine>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

struct ChartBar {
    QLine tick;
    QRect hourRect;   // the hour label under the bar pair
    QRect okBar;
    QRect okText;
    QRect ngBar;
    QRect ngText;
};

struct ChartLayout {
    QLine xAxis;
    QLine yAxis;
    int step = 0;       // distance between bar pairs
    int barWidth = 0;
    QVector<ChartBar> bars;
    QRect okLegendText;
    QRect okSwatch;
    QRect ngLegendText;
    QRect ngSwatch;
};

// Values beyond the bar count are not drawn; missing values count 0.
ChartLayout LayOutChart(const QSize& size, const QList<int>& ok, const QList<int>& ng, int barCount);
// The largest value of both series, at least 0.
int ChartMaximum(const QList<int>& ok, const QList<int>& ng);
// A series cut or padded with zeros to the bar count.
QList<int> ChartSeries(const QList<int>& values, int barCount);
