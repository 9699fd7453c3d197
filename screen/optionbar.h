#pragma once
// The main column of big command buttons beside the camera views (page 0 of
// the main window's side stack), and the fine-tuning pad that pans and fits
// the enlarged camera image. Every command but the product snapshot reaches
// the main window as btnsToggled; while the settings screen is open the bar
// refuses them with a warning.

#include "widgets/bwidget.h"

class BOptionButton;
class QPushButton;

class FinetuningDialog : public BWidget
{
    Q_OBJECT
public:
    explicit FinetuningDialog(QWidget* parent = nullptr);

    QPushButton* up = nullptr;
    QPushButton* right = nullptr;
    QPushButton* down = nullptr;
    QPushButton* left = nullptr;
    QPushButton* fit = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class OptionBar : public BWidget
{
    Q_OBJECT
public:
    enum BTN_TYPE { MultiScreen = 1, StopDetection, SystemSettings, Resample, AreaSettings, Statistics, MouldSnapshot };
    static constexpr int kWidth = 175;

    explicit OptionBar(QWidget* parent = nullptr);

    // Unchecks the system-settings button without a signal; no last type.
    void SetTLast();
    // The start/stop button as detection runs (true) or stands still.
    void ShowDetecting(bool detecting);
    BOptionButton* button(BTN_TYPE type) const { return buttons[type]; }

    FinetuningDialog* pad = nullptr;
    BOptionButton* proSnapshot = nullptr;
    int lastType = 0;

public slots:
    void btnsToggledSlot(bool checked);
    // Shows the pad beside the widget that sent the signal.
    void CalibrationPos();

signals:
    void btnsToggled(OptionBar::BTN_TYPE type, bool checked);

private:
    BOptionButton* buttons[MouldSnapshot + 1] = {};
};
