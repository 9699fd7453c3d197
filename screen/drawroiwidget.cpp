#include "screen/drawroiwidget.h"

#include "core/texttable.h"
#include "core/wizardpara.h"
#include "inspection/cammerrecongnize.h"
#include "inspection/editedregions.h"
#include "inspection/inspectionhooks.h"
#include "inspection/templatestore.h"
#include "network/network.h"
#include "screen/cammerwidget.h"
#include "screen/indexbutton.h"
#include "screen/iostatuswidget.h"
#include "screen/mainwindow.h"
#include "screen/regionchangelog.h"
#include "screen/regioption.h"
#include "screen/runcontroller.h"
#include "widgets/bmessagebox.h"

#include <QStackedLayout>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {
constexpr int kBlinkMs = 1000;
constexpr int kTextNoneSelected = 65;   // "Didn't selected area!"
constexpr int kTextDeleteOne = 66;      // "Be sure to delete the selected area?"
constexpr int kTextDeleteAll = 67;      // "Be sure to delete all the areas?"
constexpr int kTextSaveQuestion = 72;   // "Whether to save parameter?"

int camerasInUse()
{
    return std::min(numCamera, kMaxCameras);
}

// The region records of a camera view, when it has them.
CameraWorkSet* regionsOf(CammerWidget* view)
{
    CameraWorkSet* work = view ? view->work.get() : nullptr;
    return work && work->liveRecord && work->editRecord ? work : nullptr;
}

// Two-colour and rotary machines (steps: left product, left mould, right
// product, right mould): the step edited for each side setting.
int SideStep(int c, int mouldSide, bool mouldAsProduct, bool productOn)
{
    const bool even = c % 2 == 0;
    switch (mouldSide) {
    case 0:
        return productOn ? (even ? 0 : 1) : 1;
    case 1:
        if (!productOn)
            return 3;
        return mouldAsProduct || c < 3 ? 2 : 3;
    default:
        if (mouldAsProduct)
            return productOn ? (even ? 0 : 1) : 1;
        return productOn ? c : (c < 2 ? 1 : 3);
    }
}
}  // namespace

int EditStepFor(int curDetect, int machineType, int mouldSide, bool mouldAsProduct, bool productOn, int steps)
{
    int step = curDetect;
    switch (machineType) {
    case 0:
    case 3:
    case 5:
        step = !productOn ? 1 : mouldAsProduct ? 0 : curDetect;
        break;
    case 4:
        step = curDetect == 0 && !productOn ? 1 : curDetect;
        break;
    case 1:
    case 2:
        step = SideStep(curDetect, mouldSide, mouldAsProduct, productOn);
        break;
    default:
        break;
    }
    return step >= 0 && step < steps ? step : 0;
}

DrawROIWidget::DrawROIWidget(MainWindow* w)
    : QWidget(w)
    , window(*w)
{
    connectToolBars();
}

DrawROIWidget::~DrawROIWidget() = default;

AlarmClearing& DrawROIWidget::clearing()
{
    if (!actions) {
        AlarmClearing::Ports ports;
        ports.controller = window.runController();
        ports.screen = this;
        for (int c = 0; c < numCamera && c < kMaxCameras; ++c) {
            ports.works.append(window.views[c]->work.get());
            ports.views.append(window.views[c]);
        }
        actions = std::make_unique<AlarmClearing>(ports);
    }
    return *actions;
}

int DrawROIWidget::stepToEdit() const
{
    const RunControlState& st = window.runController()->state();
    if (st.displayState == DisplayState::Alarm)
        return st.curDetect;
    const WizardPara& p = *gpWPara;
    return EditStepFor(st.curDetect, p.machineType, p.mouldSide, p.mouldAsProduct != 0, p.detectOn[0] != 0, gDNum);
}

void DrawROIWidget::Reset(bool)
{
    // Edits left from an earlier visit are dropped.
    for (int c = 0; c < camerasInUse(); ++c) {
        if (CameraWorkSet* work = regionsOf(window.views[c]))
            EditedRegions::OpenEdit(*work);
    }
    window.editDetect = stepToEdit();
    window.regiOption->setDetect(window.editDetect);
    if (window.runController()->state().displayState == DisplayState::Alarm) {
        window.alarmOption->CheckSource(kLive);
        window.sideStack->setCurrentIndex(kAlarmBarPage);
    } else {
        window.regiOption->CheckSource(kTemplate);
        window.sideStack->setCurrentIndex(kEditorBarPage);
    }
}

void DrawROIWidget::Restart()
{
    window.runController()->state().displayState = DisplayState::Normal;
    for (int c = 0; c < numCamera && c < kMaxCameras; ++c) {
        window.views[c]->DeselectROI();
        window.views[c]->ReleaseHeldTemplates();
        window.views[c]->ShowHideROIPara();
    }
    hide();
    // The button column and the IO strip come back with the normal display.
    window.indexButton->show();
    window.ioStatus->show();
}

void DrawROIWidget::SlotReturn()
{
    for (int c = 0; c < numCamera && c < kMaxCameras; ++c) {
        window.views[c]->work->shownTemplate = 0;
        window.views[c]->DeselectROI();
        window.views[c]->ShowHideROIPara();
        window.views[c]->ShowHideTool(0);
    }
    if (window.runController()->state().displayState == DisplayState::Alarm) {
        SlotSaveData();
        window.alarmOption->CheckSource(kLive);
        return;
    }
    window.tools.copyMode = false;
    gSource = -1;
    SlotSaveData();
    Restart();
    if (gFromTrain) {
        gFromTrain = false;
        window.runController()->BackTrain();
    }
}

void DrawROIWidget::SlotSaveData()
{
    QVector<int> changed;
    for (int c = 0; c < camerasInUse(); ++c) {
        const CameraWorkSet* work = regionsOf(window.views[c]);
        if (work && RecordsDiffer(*work->liveRecord, *work->editRecord))
            changed << c;
    }
    if (!changed.isEmpty() && Ask(LanStr(kTextSaveQuestion))) {
        for (int c : changed)
            saveCamera(c);
    }
    AlarmClearing& a = clearing();
    for (int c = 0; c < camerasInUse(); ++c) {
        if (std::exchange(a.templateChanged[c], false))
            retrain(c, std::exchange(positionChanged[c], false));
    }
}

void DrawROIWidget::saveCamera(int c)
{
    CameraWorkSet& work = *window.views[c]->work;
    const RegionChanges changes = RegionChangeLog(*work.liveRecord, *work.editRecord, c, gDNum, gpWPara->machineType);
    for (const QString& line : changes.lines)
        window.InsertRecord(line);
    EditedRegions::Commit(work, window.paramDb, *gpWPara);
    clearing().templateChanged[c] = true;
    positionChanged[c] = positionChanged[c] || changes.positionTouched;
}

// Every enabled step trains again; its positioning model too when asked.
void DrawROIWidget::retrain(int c, bool positionModel)
{
    CammerWidget* view = window.views[c];
    if (!view->fullyBuilt() || !view->engine)
        return;
    for (int d = 0; d < std::min(gDNum, kMaxDetects); ++d) {
        if (!gpWPara->detectOn[d])
            continue;
        if (positionModel) {
            view->Retrain(d);
            continue;
        }
        TemplateStore::LoadStepTemplates(*view->work, d);
        view->engine->VarTrain(d);
        TemplateStore::ReleaseTemplates(*view->work, d);
    }
}

CammerWidget* DrawROIWidget::templateView() const
{
    const int v = window.selectedView;
    if (v < 0 || v >= camerasInUse() || gSource != kTemplate)
        return nullptr;
    CammerWidget* view = window.views[v];
    return view && view->fullyBuilt() && regionsOf(view) ? view : nullptr;
}

void DrawROIWidget::SlotDeleteROI()
{
    window.tools.copyMode = false;
    CammerWidget* view = templateView();
    if (!view)
        return;
    if (view->selectedRoi < 0) {
        Warn(LanStr(kTextNoneSelected));
        return;
    }
    // The answer may come after the picture changed.
    if (Ask(LanStr(kTextDeleteOne)) && templateView() == view) {
        TemplateStore::DeleteROI(*view->work, window.editDetect, view->selectedRoi);
        view->selectedRoi = -1;
        view->ShowHideROIPara();
    }
    view->update();
    window.update();
}

void DrawROIWidget::SlotDeleteAllROI()
{
    window.tools.copyMode = false;
    CammerWidget* view = templateView();
    if (!view)
        return;
    if (Ask(LanStr(kTextDeleteAll)) && templateView() == view) {
        EditedRegions::DeleteAllROI(*view->work, window.editDetect);
        view->selectedRoi = -1;
        view->ShowHideROIPara();
    }
    view->update();
    window.update();
}

int DrawROIWidget::CheckPassword()
{
    return window.CheckPassword();
}

bool DrawROIWidget::Ask(const QString& text)
{
    return showChooseBox(text);
}

void DrawROIWidget::Warn(const QString& text)
{
    showWarnBox(text);
}

int DrawROIWidget::selectedView() const
{
    return window.selectedView;
}

int DrawROIWidget::editDetect() const
{
    return window.editDetect;
}

bool DrawROIWidget::safeDoorOpen() const
{
    return window.safeDoorOpened();
}

void DrawROIWidget::SelectView(int camera)
{
    window.selectedView = camera;
    window.ChangeCammer();
    window.alarmOption->SetCamera(camera);
}

void DrawROIWidget::SetSource(int source)
{
    window.regiOption->SetSource(source);
}

void DrawROIWidget::ShowEditorTools()
{
    window.sideStack->setCurrentIndex(kEditorBarPage);
    if (CammerWidget* view = window.views[window.selectedView])
        view->ShowHideTool(3);
}

void DrawROIWidget::Repaint(int camera)
{
    window.views[camera]->update();
}

void DrawROIWidget::RestartBlink(int camera)
{
    window.views[camera]->blinkTimer->start(kBlinkMs);
}

cv::Mat DrawROIWidget::ShownNgPicture(int camera)
{
    CammerWidget* view = window.views[camera];
    const int d = window.editDetect;
    if (d < 0 || d >= kMaxDetects || view->ngRingShown < 0 || view->ngRingShown > 2)
        return cv::Mat();
    return view->ngRing[d][view->ngRingShown];
}

void DrawROIWidget::ShowNextTemplate()
{
    window.regiOption->SlotTempNext();
}

void DrawROIWidget::TemplateWritten(const QString& absolutePath)
{
    if (NetReportsOn())
        gpNet->CNT_SendTempPic(absolutePath);
}

void DrawROIWidget::TemplateDeleted(int camera1, int step1, const QString& name)
{
    if (NetReportsOn())
        gpNet->CNT_SendDelTempPic(camera1, step1, name);
}
