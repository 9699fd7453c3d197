#pragma once
// The narrow column at the right edge of the camera display area: the
// customer logo, the manual snapshot buttons and the step chooser of a
// manual trigger on the multi-detection machine. Only its visible parts take
// touches; the views below keep the rest.

#include <QWidget>

class ColorButton;
class ComboBox;
class MainWindow;
class QLabel;
class QTimer;

class IndexButton : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 240;
    static constexpr int kToggleZone = 110;

    // At (gShowW - 240, 0), 240 x gShowH.
    explicit IndexButton(MainWindow* window);

    // The snapshot buttons as the settings in force want them.
    void ShowHide(int = 0);
    void Reset();
    void ResetComboChooseManualTrig();
    int CurChooseTrig() const;
    bool GetShowFlag() const { return showFlag; }
    void SetShowFlag(bool on) { showFlag = on; }
    bool hasLogo() const { return logo != nullptr; }

    ColorButton* moldSnapshot = nullptr;
    ColorButton* proSnapshot = nullptr;
    ComboBox* stepChooser = nullptr;

public slots:
    void SlotShowHideTimeout();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent*) override {}

private:
    void updateMask();

    bool showFlag = false;
    QLabel* logo = nullptr;
    QTimer* showTimer = nullptr;
};
