#pragma once
// The main column of big command buttons beside the camera views (page 0 of
// the main window's side stack), and the fine-tuning pad that pans and fits
// the enlarged camera image. The command buttons are added with the
// main-window commands; the bar reserves its place in the layout now.

#include "widgets/bwidget.h"

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

    FinetuningDialog* pad = nullptr;
    int lastType = 0;

signals:
    void btnsToggled(OptionBar::BTN_TYPE type, bool checked);
};
