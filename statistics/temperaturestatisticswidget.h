#pragma once
// Eight board temperatures, each in a box with its own alarm range (low and
// high limit in tenths of a degree, kept in the settings record in force),
// and the verdict whether every temperature lies inside its range. The
// ranges are reloaded from the record at every showing and written back,
// and the record saved, at every hiding.

#include "statistics/temperaturereading.h"

#include <QWidget>

#include <array>
#include <functional>

class EditTempBox;

class TemperatureStatisticsWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kBoxes = 8;

    explicit TemperatureStatisticsWidget(QWidget* parent = nullptr);

    // temps: the board's temperature slots (at least 12); boxes 1-8 show slots 0-7.
    void updateTemp(const float* temps);
    void clacTemp(const float* temps);
    // True when a temperature lies outside its range.
    bool judgeTemperature() const;

    EditTempBox* box(int k) const { return boxes[k]; }
    float lowestTemperature() const { return lowest; }
    float highestTemperature() const { return highest; }

    // Saves the settings record in force (to PARAM.db in the program).
    std::function<void()> saveSettings;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void loadLimits();

    float lowest = 999999;
    float highest = 0;
    std::array<EditTempBox*, kBoxes> boxes = {};
    std::array<TemperatureReading, kBoxes> readings = {};
};
