#pragma once
// Building blocks of the settings pages: rows of caption, slider, value label
// (a touch opens the numeric keyboard) and unit; and switches placed right of
// their captions.

#include "settings/pagerules.h"
#include "settings/settingspage.h"

#include <functional>
#include <vector>

class BlineLabel;
class C_Slider;
class CheckBox;
class QGridLayout;
class QLabel;

struct SliderRow {
    QLabel* caption = nullptr;
    C_Slider* slider = nullptr;
    BlineLabel* value = nullptr;
    QLabel* unit = nullptr;
    std::function<QString(int)> text;   // the value label's text (the integer when empty)

    void setVisible(bool visible) const;
    void showValue() const;
};

// Adds a row to grid at row; the controls are children of owner.
SliderRow MakeSliderRow(QGridLayout* grid, int row, QWidget* owner, const QString& caption, int min, int max,
                        const QString& unit);

// A page of slider rows; every slider's value shows in its value label.
class SliderPage : public SettingsPage
{
    Q_OBJECT
public:
    using SettingsPage::SettingsPage;

    const SliderRow& row(int i) const { return rows[static_cast<size_t>(i)]; }
    int rowCount() const { return static_cast<int>(rows.size()); }

public slots:
    // Writes the sending slider's value into its value label.
    virtual void slotQSliderValue(int value);

protected:
    SliderRow& addRow(SliderRow row);
    // Sets the sliders of rows from..from+n-1, and their labels.
    void setValues(const std::vector<int>& values, int from = 0);
    std::vector<int> values(int from, int n) const;

    std::vector<SliderRow> rows;
};

// Switches and their captions.
struct Switches {
    std::vector<CheckBox*> boxes;
    std::vector<QLabel*> captions;

    // A switch without text right of its caption, at (row, column pair).
    CheckBox* add(QGridLayout* grid, int row, int pair, QWidget* owner, const QString& caption);
    void load(const std::vector<bool>& ticks) const;
    std::vector<bool> ticks() const;
    void setVisible(bool visible) const;
};

extern const char* const kValueStyle;
extern const char* const kUnitStyle;
