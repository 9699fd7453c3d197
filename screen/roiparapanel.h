#pragma once
// The parameter panel of a camera view: beside the selected region of the
// edited template, sliders for its three parameters, the function button,
// the grey-byte switch of spot regions, the NG-output choice, the next-region
// button, the part and fine-adjustment buttons, the move buttons and the
// button that hides the panel or moves all regions; and the eight cavity
// boxes of the mould step. Each change goes to the edited record and is
// previewed on the template on show. The rules are RegionEditing's.

#include <QObject>

class CammerWidget;
class CheckBox;
class ColorButton;
class ComboBox;
class QLabel;
class Slider;

// Where the panel goes: its top edge for a region whose frame rows are
// y1..y2, on a display gShowH high (under the region when it fits, else over it).
int PanelTop(int y1, int y2, bool perRoiParams);

class RoiParaPanel : public QObject
{
    Q_OBJECT
public:
    explicit RoiParaPanel(CammerWidget* view);

    // Rebuilds the panel for the selected region (hidden when none).
    void Rebuild();
    void SetCheckBoxState(int d);
    void ShowHideCheckBox(bool show);

    Slider* minWHSlider = nullptr;
    Slider* sensitivitySlider = nullptr;
    Slider* areaSlider = nullptr;
    QLabel* funcLabel = nullptr;
    ColorButton* funcButton = nullptr;
    ColorButton* grayButton = nullptr;
    ComboBox* outputCombo = nullptr;
    ColorButton* nextRoiButton = nullptr;
    ColorButton* partButton = nullptr;
    ColorButton* sizeButtons[4] = {};
    ColorButton* moveButtons[4] = {};
    ColorButton* moveAllButton = nullptr;
    CheckBox* cavityBoxes[8] = {};
    bool grayHighByte = false;

public slots:
    void SlotMinWH(int v);
    void SlotSensitivity(int v);
    void SlotArea(int v);
    void SlotOutN(int i);
    void SlotChangeParaSow();
    void SlotChangeFunc();
    void SlotChangeObject();
    void SlotSize(int k);
    void SlotMove(int dx, int dy);
    void SlotMoveAll();
    void SlotNextROI();
    void SlotClickCheckBox(int i);

private:
    void build();
    void hideAll();
    void place(int top, bool perRoi);
    void retarget(int func, int d, int r);
    void showFor(int func, int d, int r);
    void labelButtons(int d, int r);
    // Stores v in the selected region's parameter (0 minWH, 1 sensitivity,
    // 2 area) and previews the region.
    void store(int parameter, int v);
    void preview();
    bool selection(int* d, int* r) const;

    CammerWidget& view;
};
