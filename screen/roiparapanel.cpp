#include "screen/roiparapanel.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "inspection/cammerrecongnize.h"
#include "screen/cammerwidget.h"
#include "widgets/checkbox.h"
#include "widgets/colorbutton.h"
#include "widgets/combobox.h"
#include "widgets/skin.h"
#include "widgets/slider.h"

#include <QLabel>

namespace {

constexpr int kTallPanel = 204;
constexpr int kShortPanel = 102;
constexpr int kBottomReserve = 70;   // the move buttons' row
constexpr int kSpotFunction = 1;
constexpr int kCavities = 8;
constexpr int kTextMoveAll[3] = {12, 32, 34};   // "Hide Set", "All Move", "Sing-Disp"

// One slider's target for a function: range and caption; caption 0 leaves
// the slider as it is.
struct Target {
    int min, max, caption;
};

// Per function: the button's text and the targets of minWH, sensitivity, area.
struct FunctionFace {
    int button;
    Target targets[3];
};

const FunctionFace kFaces[9] = {
    {25, {{1, 10, 22}, {0, 255, 23}, {0, 1000, 24}}},
    {15, {{0, 255, 10}, {0, 99999, 13}, {0, 99999, 14}}},
    {17, {{0, 255, 16}, {0, 255, 16}, {0, 255, 16}}},
    {21, {{1, 100, 20}, {1, 32, 16}, {1, 100, 16}}},
    {392, {{0, 0, 0}, {0, 255, 11}, {0, 50000, 24}}},
    {393, {{0, 0, 0}, {0, 255, 10}, {0, 50000, 24}}},
    {398, {{0, 0, 0}, {0, 100, 362}, {0, 0, 0}}},
    {521, {{1, 100, 22}, {0, 255, 10}, {0, 100, 522}}},
    {561, {{0, 1, 22}, {0, 50000, 13}, {0, 50000, 14}}},
};

const FunctionFace& faceOf(int func)
{
    return kFaces[func >= 0 && func < 9 ? func : 0];
}

int switchesOn()
{
    const WizardPara& w = *gpWPara;
    return (w.defectOn != 0) + (w.spotOn != 0) + (w.ignoreAreaOn != 0) + (w.positionOn != 0) + (w.blackAreaOn != 0)
           + (w.whiteAreaOn != 0) + (w.similarityOn != 0) + (w.whiteNumberOn != 0) + (w.directionOn != 0);
}

QRect span(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace

int PanelTop(int y1, int y2, bool perRoiParams)
{
    const int below = int(float(y2 + 1) * gShowAH);
    const int above = int(float(y1) * gShowAH);
    const int h = perRoiParams ? kTallPanel : kShortPanel;
    if (h + below < gShowH - kBottomReserve)
        return below + 5;
    return above > h ? above - h : gShowH - kBottomReserve - h;
}

RoiParaPanel::RoiParaPanel(CammerWidget* v)
    : QObject(v)
    , view(*v)
{
    build();
    hideAll();
    ShowHideCheckBox(false);
}

void RoiParaPanel::build()
{
    QWidget* parent = &view;
    minWHSlider = new Slider(0, 10, 1, 25, parent, QString());
    sensitivitySlider = new Slider(0, 255, 1, 25, parent, QString());
    areaSlider = new Slider(0, 1000, 1, 50, parent, QString());
    connect(minWHSlider, &QAbstractSlider::valueChanged, this, &RoiParaPanel::SlotMinWH);
    connect(sensitivitySlider, &QAbstractSlider::valueChanged, this, &RoiParaPanel::SlotSensitivity);
    connect(areaSlider, &QAbstractSlider::valueChanged, this, &RoiParaPanel::SlotArea);

    funcLabel = new QLabel(LanStr(2), parent);
    funcLabel->setFont(ToolkitFont(kFontMicroHei, 40));
    funcLabel->setStyleSheet(QStringLiteral("color:green;font-size : 26px"));
    funcButton = new ColorButton(QString(), parent, 3);
    grayButton = new ColorButton(LanStr(3), parent, 3);
    nextRoiButton = new ColorButton(LanStr(4), parent, 3);
    partButton = new ColorButton(QString(), parent, 3);
    connect(funcButton, &QPushButton::clicked, this, &RoiParaPanel::SlotChangeFunc);
    connect(grayButton, &QPushButton::clicked, this, &RoiParaPanel::SlotChangeParaSow);
    connect(nextRoiButton, &QPushButton::clicked, this, &RoiParaPanel::SlotNextROI);
    connect(partButton, &QPushButton::clicked, this, &RoiParaPanel::SlotChangeObject);

    outputCombo = new ComboBox(parent);
    outputCombo->setFont(ToolkitFont(kFontMicroHei, 20));
    outputCombo->setItemHeight(50);
    for (int i = 0; i < 4; ++i)
        outputCombo->addItem(QStringLiteral("N%1").arg(i + 1), i);
    connect(outputCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &RoiParaPanel::SlotOutN);

    for (int k = 0; k < 4; ++k) {
        sizeButtons[k] = new ColorButton(QString(), parent, 3);
        sizeButtons[k]->SetRepeat();
        connect(sizeButtons[k], &QPushButton::clicked, this, [this, k] { SlotSize(k); });
    }
    static const QPoint kMoves[4] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
    for (int k = 0; k < 4; ++k) {
        moveButtons[k] = new ColorButton(LanStr(5 + k), parent, 5);
        moveButtons[k]->setGeometry(300 + 130 * k, 930, 120, 60);
        moveButtons[k]->SetRepeat();
        const QPoint m = kMoves[k];
        connect(moveButtons[k], &QPushButton::clicked, this, [this, m] { SlotMove(m.x(), m.y()); });
    }
    moveAllButton = new ColorButton(LanStr(kTextMoveAll[0]), parent, 5);
    moveAllButton->setGeometry(820, 930, 120, 60);
    connect(moveAllButton, &QPushButton::clicked, this, &RoiParaPanel::SlotMoveAll);

    for (int i = 0; i < kCavities; ++i) {
        cavityBoxes[i] = new CheckBox(parent, LanStr(460 + i));
        cavityBoxes[i]->setGeometry(450 + 155 * i, 35, 145, 75);
        connect(cavityBoxes[i], &QAbstractButton::clicked, this, [this, i] { SlotClickCheckBox(i); });
    }
}

static QList<QWidget*> panelWidgets(const RoiParaPanel& p)
{
    QList<QWidget*> all{p.minWHSlider, p.sensitivitySlider, p.areaSlider, p.funcLabel,    p.funcButton,
                        p.grayButton,  p.partButton,        p.nextRoiButton, p.moveAllButton, p.outputCombo};
    for (int k = 0; k < 4; ++k)
        all << p.sizeButtons[k] << p.moveButtons[k];
    return all;
}

void RoiParaPanel::hideAll()
{
    for (QWidget* w : panelWidgets(*this))
        w->hide();
}

bool RoiParaPanel::selection(int* d, int* r) const
{
    *d = view.editStep();
    *r = view.selectedRoi;
    return *r >= 0 && *r < std::min(view.work->editRecord->roiNum[*d], kMaxRegions);
}

void RoiParaPanel::Rebuild()
{
    view.work->previewShown = false;
    int d = 0, r = -1;
    if (!selection(&d, &r)) {
        hideAll();
        view.moveMode = 0;
        view.selectedPart = 0;
        moveAllButton->setText(LanStr(kTextMoveAll[0]));
        view.update();
        return;
    }
    const CammerSingleton& rec = *view.work->editRecord;
    const QRect box = rec.ImageBox(d, r);
    const bool perRoi = gpWPara->perRoiParams != 0;
    place(PanelTop(box.top(), box.bottom(), perRoi), perRoi);
    grayHighByte = false;
    const int func = rec.func[d][r];
    retarget(func, d, r);
    showFor(func, d, r);
    labelButtons(d, r);
    view.update();
}

void RoiParaPanel::place(int top, bool perRoi)
{
    const int x2 = gShowW / 2 + 424;
    sensitivitySlider->setGeometry(span(400, top, x2, top + 44));
    int row = top + 50;
    if (perRoi) {
        areaSlider->setGeometry(span(400, top + 50, x2, top + 94));
        minWHSlider->setGeometry(span(400, top + 100, x2, top + 144));
        row = top + 150;
    }
    const int bottom = row + 44;
    funcLabel->setGeometry(span(400, row, 479, bottom));
    funcButton->setGeometry(span(483, row, 602, bottom));
    grayButton->setGeometry(span(606, row, 725, bottom));
    outputCombo->setGeometry(span(729, row, 783, bottom));
    nextRoiButton->setGeometry(span(787, row, 906, bottom));
    partButton->setGeometry(span(910, row, 1002, bottom));
    for (int k = 0; k < 4; ++k)
        sizeButtons[k]->setGeometry(span(1006 + 96 * k, row, 1098 + 96 * k, bottom));
}

void RoiParaPanel::retarget(int func, int d, int r)
{
    const CammerSingleton& rec = *view.work->editRecord;
    const FunctionFace& face = faceOf(func);
    Slider* sliders[3] = {minWHSlider, sensitivitySlider, areaSlider};
    const int* values[3] = {&rec.minWH[d][r], &rec.sensitivity[d][r], &rec.area[d][r]};
    // The direction function re-targets minWH last.
    static const int kUsualOrder[3] = {0, 1, 2};
    static const int kDirectionOrder[3] = {1, 2, 0};
    const int* order = func == 8 ? kDirectionOrder : kUsualOrder;
    for (int i = 0; i < 3; ++i) {
        const int k = order[i];
        const Target& t = face.targets[k];
        if (t.caption == 0)
            continue;
        const int value = k == 0 && func == kSpotFunction ? (*values[0] & 0xFF) : *values[k];
        sliders[k]->Reset(t.min, t.max, 1, value, LanStr(t.caption));
    }
    funcButton->setText(LanStr(face.button));
}

void RoiParaPanel::showFor(int func, int d, int r)
{
    for (ColorButton* b : moveButtons)
        b->show();
    moveAllButton->show();
    grayButton->setVisible(func == kSpotFunction);
    const bool shown = view.moveMode == 0;
    const bool perRoi = gpWPara->perRoiParams != 0;
    sensitivitySlider->setVisible(shown);
    partButton->setVisible(shown);
    nextRoiButton->setVisible(shown);
    for (ColorButton* b : sizeButtons)
        b->setVisible(shown);
    minWHSlider->setVisible(shown && perRoi && func != 4 && func != 5 && func != 6);
    areaSlider->setVisible(shown && perRoi && func != 6);
    const bool functions = shown && switchesOn() >= 2;
    funcButton->setVisible(functions);
    funcLabel->setVisible(functions);
    const bool outputs = shown && d == 0 && gpWPara->ejectorPulseOnNG != 0;
    if (outputs) {
        const QSignalBlocker quiet(outputCombo);
        outputCombo->setCurrentIndex(std::clamp(view.work->editRecord->outN[r], 0, 3));
    }
    outputCombo->setVisible(outputs);
    if (!shown)
        grayButton->hide();
}

void RoiParaPanel::labelButtons(int d, int r)
{
    const CammerSingleton& rec = *view.work->editRecord;
    const int type = rec.roiType[d][r];
    const int part = view.selectedPart;
    static const char* const kRadiusSteps[4] = {"+10", "+1", "-1", "-10"};
    static const char* const kPointSteps[4] = {"Y -1", "X -1", "Y +1", "X +1"};
    const bool radius = type == kRoiCircle && (part == 0 || part == 1);
    for (int k = 0; k < 4; ++k)
        sizeButtons[k]->setText(QLatin1String(radius ? kRadiusSteps[k] : kPointSteps[k]));
    if (type == kRoiRect)
        partButton->setText(LanStr(part == 1 ? 29 : 30));
    else if (type == kRoiCircle)
        partButton->setText(LanStr(part == 1 ? 26 : part == 2 ? 27 : 28));
    else
        partButton->setText(LanStr(31).arg(part + 1));
}

void RoiParaPanel::store(int parameter, int v)
{
    int d = 0, r = -1;
    if (!selection(&d, &r))
        return;
    CammerSingleton& rec = *view.work->editRecord;
    if (parameter == 0 && rec.func[d][r] == kSpotFunction) {
        const int shift = grayHighByte ? 8 : 0;
        rec.minWH[d][r] = (rec.minWH[d][r] & ~(0xFF << shift)) | ((v & 0xFF) << shift);
    } else {
        int* fields[3] = {&rec.minWH[d][r], &rec.sensitivity[d][r], &rec.area[d][r]};
        *fields[parameter] = v;
    }
    preview();
}

void RoiParaPanel::preview()
{
    int d = 0, r = -1;
    if (selection(&d, &r) && view.engine && view.engine->RunTest(d, r))
        view.update();
}

void RoiParaPanel::SlotMinWH(int v)
{
    store(0, v);
}

void RoiParaPanel::SlotSensitivity(int v)
{
    store(1, v);
}

void RoiParaPanel::SlotArea(int v)
{
    store(2, v);
}

void RoiParaPanel::SlotOutN(int i)
{
    int d = 0, r = -1;
    if (selection(&d, &r) && d == 0)
        view.work->editRecord->outN[r] = i;
}

void RoiParaPanel::SlotChangeParaSow()
{
    grayHighByte = !grayHighByte;
    int d = 0, r = -1;
    if (selection(&d, &r) && view.work->editRecord->func[d][r] == kSpotFunction) {
        const int minWH = view.work->editRecord->minWH[d][r];
        const QSignalBlocker quiet(minWHSlider);
        minWHSlider->Reset(0, 255, 1, grayHighByte ? (minWH >> 8) & 0xFF : minWH & 0xFF, LanStr(grayHighByte ? 11 : 10));
    }
    view.update();
}

void RoiParaPanel::SlotChangeFunc()
{
    const int d = view.editStep();
    view.ChangeFunc(d);
    Rebuild();
    grayHighByte = false;
}

void RoiParaPanel::SlotChangeObject()
{
    view.ChangeObject(view.editStep());
    Rebuild();
}

void RoiParaPanel::SlotSize(int k)
{
    view.Size(view.editStep(), k);
    view.update();
}

void RoiParaPanel::SlotMove(int dx, int dy)
{
    if (view.MoveRegions(view.editStep(), dx, dy, QSize(gShowW, gShowH)))
        Rebuild();
}

void RoiParaPanel::SlotMoveAll()
{
    int d = 0, r = -1;
    if (selection(&d, &r)) {
        view.moveMode = (view.moveMode + 1) % 3;
        moveAllButton->setText(LanStr(kTextMoveAll[view.moveMode]));
    }
    Rebuild();
}

void RoiParaPanel::SlotNextROI()
{
    if (view.NextROI(view.editStep()))
        Rebuild();
}

void RoiParaPanel::SetCheckBoxState(int d)
{
    if (d < 0 || d >= kMaxDetects)
        return;
    for (int i = 0; i < kCavities; ++i)
        cavityBoxes[i]->setChecked(view.work->editRecord->detectFlag[d][i] != 0);
}

void RoiParaPanel::ShowHideCheckBox(bool show)
{
    for (CheckBox* box : cavityBoxes)
        box->setVisible(show);
}

void RoiParaPanel::SlotClickCheckBox(int i)
{
    view.work->editRecord->detectFlag[1][i] = cavityBoxes[i]->checkState();
}
