#pragma once
// An hourly bar chart: per hour label one green OK bar and one red NG bar,
// each with its value written above it, and a legend at the top right.

#include <QList>
#include <QMap>
#include <QWidget>

class Histogram : public QWidget
{
    Q_OBJECT
public:
    explicit Histogram(QWidget* parent);
    Histogram(QWidget* parent, const QList<int>& hourLabels);
    Histogram(QWidget* parent, const QList<int>& hourLabels, const QList<int>& okValues,
              const QList<int>& ngValues);

    void modifyDataAxisY(const QList<int>& okValues, const QList<int>& ngValues);
    void modifyDataAxisY1(const QList<int>& okValues);
    void modifyDataAxisY2(const QList<int>& ngValues);
    void clcMaxY();
    // Clears the chart: no bars.
    void modifydata(const QMap<int, int>&);

    const QList<int>& okValues() const { return ok; }
    const QList<int>& ngValues() const { return ng; }
    const QList<int>& hours() const { return hourLabels; }
    int barCount() const { return bars; }
    int maximum() const { return maxY; }

    static const char* const kOkLegend;   // "产出次数"
    static const char* const kNgLegend;   // "异常次数"

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<int> ok;
    QList<int> ng;
    QList<int> hourLabels;
    int bars = 0;
    int maxY = 0;
};
