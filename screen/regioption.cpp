#include "screen/regioption.h"

#include "core/controlport.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "inspection/cameraworkset.h"
#include "inspection/imagehelpers.h"
#include "inspection/templatestore.h"
#include "screen/alarmclearing.h"
#include "screen/cammerwidget.h"
#include "screen/drawroiwidget.h"
#include "screen/iostatuswidget.h"
#include "screen/mainwindow.h"
#include "screen/optionbar.h"
#include "screen/roiparapanel.h"
#include "screen/runcontroller.h"
#include "screen/sidebuttons.h"
#include "widgets/bmessagebox.h"
#include "widgets/boptionbutton.h"
#include "widgets/combobox.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {

bool alarmShown()
{
    const RunController* c = gpWin ? gpWin->runController() : nullptr;
    return c && c->state().displayState == DisplayState::Alarm;
}

bool singleView()
{
    return gpWin && gpWin->selectedView >= 0 && gpWin->selectedView < numCamera;
}

CammerWidget* selectedWidget()
{
    return singleView() ? gpWin->views[gpWin->selectedView] : nullptr;
}

// Step names of the step choice, by machine type.
int firstStepText()
{
    switch (gpWPara->machineType) {
    case 1:
    case 2:
        return 372;
    case 4:
        return 477;
    default:
        return 263;
    }
}

}  // namespace

int SameParameterNote(const WizardPara& p, int detect, bool templateShown, bool* noted)
{
    if (*noted || !p.mouldAsProduct || !templateShown)
        return 0;
    const bool singleSide = p.machineType == 0 || p.machineType == 3 || p.machineType == 5;
    const bool twoSides = p.machineType == 1 || p.machineType == 2;
    int note = 0;
    if (singleSide && detect == 1 && p.detectOn[0])
        note = 119;
    else if (twoSides && detect > 1)
        note = 371;
    *noted = note != 0;
    return note;
}

RegiOption::RegiOption(QWidget* parent)
    : BWidget(parent)
{
    setFixedWidth(OptionBar::kWidth);
    buttons[LiveTemplate] = MakeSideButton(LanStr(212), ":/img/icons/110.png", this);
    buttons[LiveTemplate]->setIconSize(QSize(125, 68));
    buttons[AddTemplate] = MakeSideButton(LanStr(48), ":/img/icons/106.png", this);
    buttons[DeleteTemplate] = MakeSideButton(LanStr(63), ":/img/icons/106.png", this);
    buttons[EndSetting] = MakeSideButton(LanStr(42), ":/img/icons/38.png", this);
    sourceChoice = MakeSideChoice(this);
    cameraChoice = MakeSideChoice(this);
    stepChoice = MakeSideChoice(this);
    // The template item reads the same in every language.
    FillSourceChoice(sourceChoice, QStringLiteral("模板"));
    FillCameraChoice(cameraChoice);
    if (gpWPara) {
        const int steps = gpWPara->machineType == 4 ? gDNum : gpWPara->machineType == 1 || gpWPara->machineType == 2 ? 4 : 2;
        const QIcon icon(QStringLiteral(":/img/icons/105.png"));
        for (int d = 0; d < steps; ++d)
            stepChoice->addItem(icon, LanStr(46).arg(LanStr(firstStepText() + d)));
    }
    sourceChoice->setCurrentIndex(kLive);

    QVBoxLayout* column = MakeSideColumn(this);
    column->addWidget(buttons[LiveTemplate]);
    column->addWidget(sourceChoice);
    column->addWidget(cameraChoice);
    column->addWidget(stepChoice);
    column->addWidget(buttons[AddTemplate]);
    column->addWidget(buttons[DeleteTemplate]);
    column->addStretch();
    column->addWidget(buttons[EndSetting]);
    for (BOptionButton* b : buttons) {
        if (b)
            connect(b, &BOptionButton::toggled, this, &RegiOption::btnsToggledSlot);
    }
    connect(sourceChoice, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &RegiOption::ChangeSourceSlot);
    connect(cameraChoice, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &RegiOption::ChangeCameraSlot);
    connect(stepChoice, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &RegiOption::ChangeDetectSlot);
}

int RegiOption::source() const
{
    return sourceChoice->currentIndex();
}

void RegiOption::btnsToggledSlot(bool checked)
{
    for (int type = DeleteTemplate; type <= LiveTemplate; ++type) {
        if (sender() == buttons[type]) {
            lastType = type;
            emit btnsToggled(BTN_TYPE(type), checked);
            return;
        }
    }
}

void RegiOption::CheckSource(int source)
{
    if (sourceChoice->currentIndex() == source)
        ChangeSourceSlot(source);
    else
        sourceChoice->setCurrentIndex(source);
}

void RegiOption::SetSource(int source)
{
    sourceChoice->setCurrentIndex(source);
}

void RegiOption::setDetect(int detect)
{
    stepChoice->setCurrentIndex(detect);
}

void RegiOption::ChangeSourceSlot(int source)
{
    if (!gpWin || !gpWin->editor || source < 0)
        return;
    if (!gpWin->editor->clearing().ApplySource(source)) {
        // Refused during the alarm: back to the live picture and the alarm bar.
        const QSignalBlocker quiet(sourceChoice);
        sourceChoice->setCurrentIndex(gSource);
        ChangePage();
        return;
    }
    MainWindow& w = *gpWin;
    w.tools.copyMode = false;
    for (int c = 0; c < numCamera; ++c) {
        CammerWidget* view = w.views[c];
        view->work->shownTemplate = 0;
        view->DeselectROI();
        view->ShowHideROIPara();
    }
    const int highest = source == kLive ? numCamera : numCamera - 1;
    if (w.selectedView < 0 || w.selectedView > highest) {
        w.selectedView = 0;
        w.ChangeCammer();
    }
    {
        const QSignalBlocker quiet(cameraChoice);
        cameraChoice->setCurrentIndex(w.selectedView);
    }
    if (gpWPara->showCavityBoxes) {
        for (int c = 0; c < numCamera; ++c)
            w.views[c]->panel->ShowHideCheckBox(source == kTemplate);
    }
    w.ioStatus->show();
    switch (source) {
    case kTemplate:
        w.tools.drawTool = kNoTool;
        showTemplate(0);
        break;
    case kRecentNg:
        showNgEntry(0);
        break;
    case kOkRecords:
    case kNgRecords:
        browsed.index = 0;
        okPictures = source == kOkRecords;
        LoadPic();
        break;
    default:
        break;
    }
    if (CammerWidget* view = selectedWidget())
        view->update();
    ChangePage();
}

void RegiOption::showTemplate(int slot)
{
    CammerWidget* view = selectedWidget();
    const int d = gpWin->editDetect;
    if (!view || d < 0 || d >= kMaxDetects)
        return;
    // Only the shown step of the shown camera keeps its templates in memory.
    for (int c = 0; c < numCamera; ++c)
        if (gpWin->views[c] != view)
            gpWin->views[c]->ReleaseHeldTemplates();
    view->HoldTemplates(d);
    CameraWorkSet& work = *view->work;
    const QString path = TemplateStore::TemplatePath(work.cameraIndex, d, slot);
    const bool inMemory = slot >= 0 && slot < int(work.templates[d].size()) && !work.templates[d][slot].empty();
    const cv::Mat picture = inMemory ? work.templates[d][slot]
                                     : TemplateStore::ReadFrame(path, work.imageShow.cols, work.imageShow.rows,
                                                                work.IsColour() ? 32 : 8);
    if (!picture.empty() && picture.size() == work.imageShow.size() && picture.type() == work.imageShow.type()) {
        work.frames.Detach(work.imageShow);
        picture.copyTo(work.imageShow);
    }
    if (work.IsColour() && !work.imageGray.empty()) {
        const auto* rgba = reinterpret_cast<const int*>(work.imageShow.data);
        if (gisGrayHue)
            RGBA2Gray(work.imageGray.data, rgba, work.imageShow.cols, work.imageShow.rows);
        else
            RGBA2Hue(work.imageGray.data, rgba, work.imageShow.cols, work.imageShow.rows);
    }
    work.shownTemplate = slot;
    gTempTime = QFileInfo(path).lastModified().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
}

void RegiOption::showNgEntry(int entry)
{
    CammerWidget* view = selectedWidget();
    const int d = gpWin->editDetect;
    if (!view || d < 0 || d >= kMaxDetects)
        return;
    view->ngRingShown = entry;
    const cv::Mat& picture = view->ngRing[d][entry];
    if (!picture.empty() && picture.size() == view->work->imageShow.size()) {
        view->work->frames.Detach(view->work->imageShow);
        picture.copyTo(view->work->imageShow);
    }
}

void RegiOption::ChangePage()
{
    MainWindow& w = *gpWin;
    for (int c = 0; c < numCamera; ++c)
        w.views[c]->ShowHideTool(0);
    buttons[AddTemplate]->hide();
    buttons[DeleteTemplate]->hide();
    buttons[LiveTemplate]->hide();
    cameraChoice->setVisible(gSource != kLive);
    CammerWidget* view = selectedWidget();
    switch (gSource) {
    case kTemplate:
        buttons[DeleteTemplate]->show();
        buttons[LiveTemplate]->setVisible(alarmShown());
        if (view)
            view->ShowHideTool(3);
        break;
    case kLive:
        if (alarmShown())
            w.sideStack->setCurrentIndex(kAlarmBarPage);
        else
            cameraChoice->setVisible(numCamera > 1);
        break;
    case kRecentNg:
        buttons[AddTemplate]->show();
        if (view)
            view->ShowHideTool(1);
        break;
    default:
        if (view)
            view->ShowHideTool(1);
        break;
    }
}

void RegiOption::ChangeCameraSlot(int camera)
{
    if (!gpWin || camera < 0)
        return;
    if (camera >= numCamera)
        camera = gSource == kLive ? numCamera : numCamera - 1;
    gpWin->selectedView = camera;
    gpWin->ChangeCammer();
    ChangeSourceSlot(gSource);
}

void RegiOption::ChangeDetectSlot(int detect)
{
    if (!gpWin || !singleView() || gSource < 0 || gSource == kLive || detect < 0)
        return;
    gpWin->tools.copyMode = false;
    const int type = gpWPara->machineType;
    const bool productStep = detect == 0 || ((type == 1 || type == 2) && detect % 2 == 0);
    if (productStep && !gpWPara->productDetectOn) {
        stepChoice->setCurrentIndex(1);
        showWarnBox(LanStr(118));
        return;
    }
    if (const int note = SameParameterNote(*gpWPara, detect, gSource == kTemplate, &sameParameterNoted))
        showWarnBox(LanStr(note));
    selectedWidget()->DeselectROI();
    gpWin->editDetect = detect;
    ChangeSourceSlot(gSource);
    if (gpWin->runController()->state().displayState == DisplayState::Editing)
        selectedWidget()->panel->SetCheckBoxState(1);
}

void RegiOption::browse(int direction)
{
    CammerWidget* view = selectedWidget();
    const int d = gpWin ? gpWin->editDetect : -1;
    if (!view || d < 0 || d >= gDNum || d >= kMaxDetects)
        return;
    CameraWorkSet& work = *view->work;
    if (gSource == kTemplate && work.shownTemplate >= 0 && work.shownTemplate < gTempNum) {
        const std::vector<int>& flags = work.templateFlags[d];
        int t = work.shownTemplate;
        for (int i = 0; i < gTempNum; ++i) {
            t = (t + direction + gTempNum) % gTempNum;
            if (t == 0 || (t < int(flags.size()) && flags[t]))
                break;
        }
        showTemplate(t);
    } else if (gSource == kRecentNg) {
        const int last = std::min(view->ngRingPos[d], 3) - 1;
        int entry = view->ngRingShown + direction;
        if (entry > last)
            entry = 0;
        if (entry < 0)
            entry = std::max(last, 0);
        showNgEntry(entry);
    } else if (gSource == kOkRecords || gSource == kNgRecords) {
        if (browsed.count == 0)
            return;
        browsed.index = (browsed.index + direction + browsed.count) % browsed.count;
        LoadPic();
    }
    view->update();
}

void RegiOption::LoadPic()
{
    const int camera = std::clamp(cameraChoice->currentIndex(), 0, kMaxCameras - 1);
    const int step = std::clamp(stepChoice->currentIndex(), 0, kMaxDetects - 1);
    const QDir& folder = gpWin->alarmDirs[camera][step][okPictures ? 1 : 0];
    const QFileInfoList files = folder.entryInfoList({QStringLiteral("*.jpg")}, QDir::AllEntries, QDir::Time);
    browsed.camera = camera;
    browsed.count = files.size();
    if (files.isEmpty()) {
        browsed.index = 0;
        browsed.name.clear();
        browsed.picture = QImage();
        return;
    }
    browsed.index = std::min(browsed.index, browsed.count - 1);
    const QFileInfo& file = files[browsed.index];
    browsed.name = file.completeBaseName();
    browsed.picture.load(file.filePath());
}

AlarmOption::AlarmOption(QWidget* parent)
    : BWidget(parent)
{
    setFixedWidth(OptionBar::kWidth);
    struct Entry {
        BTN_TYPE type;
        int text;
        const char* icon;
    };
    static const Entry entries[] = {
        {LiveTemplate, 212, ":/img/icons/110.png"}, {NoDetect, 47, ":/img/icons/43.png"},
        {ReDetect, 61, ":/img/icons/5.png"},        {AddTemplate, 48, ":/img/icons/44.png"},
        {IgnorePoint, 54, ":/img/icons/45.png"},    {DeleteIgnorePoints, 56, ":/img/icons/46.png"},
    };
    for (const Entry& e : entries) {
        buttons[e.type] = MakeSideButton(LanStr(e.text), e.icon, this, "#656263");
        connect(buttons[e.type], &BOptionButton::toggled, this, &AlarmOption::btnsToggledSlot);
    }
    buttons[LiveTemplate]->setIconSize(QSize(125, 68));
    // Re-detect is a plain press: white on grey while held, never red.
    buttons[ReDetect]->setStyleSheet(QStringLiteral(
        "BOptionButton{background-color:#4ab74c;icon-size:68px 68px;border-style:none;color:#656263;font-size:18px;"
        "padding:10px 0px 0px 0px;}BOptionButton:pressed{color:#ffffff;background-color:#656263;}"));
    buttons[IgnorePoint]->hide();
    buttons[DeleteIgnorePoints]->hide();
    sourceChoice = MakeSideChoice(this);
    cameraChoice = MakeSideChoice(this);
    FillSourceChoice(sourceChoice, LanStr(223));
    FillCameraChoice(cameraChoice);
    sourceChoice->setCurrentIndex(kLive);

    QVBoxLayout* column = MakeSideColumn(this);
    column->addWidget(buttons[LiveTemplate]);
    column->addWidget(sourceChoice);
    column->addWidget(cameraChoice);
    column->addWidget(buttons[NoDetect]);
    column->addWidget(buttons[AddTemplate]);
    column->addWidget(buttons[ReDetect]);
    column->addStretch();
    connect(sourceChoice, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &AlarmOption::ChangeSourceSlot);
    connect(cameraChoice, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &AlarmOption::ChangeCameraSlot);
}

void AlarmOption::btnsToggledSlot(bool checked)
{
    for (int type = LiveTemplate; type <= DeleteIgnorePoints; ++type) {
        if (sender() == buttons[type]) {
            emit btnsToggled(BTN_TYPE(type), checked);
            return;
        }
    }
}

void AlarmOption::ChangeSourceSlot(int source)
{
    emit AlarmChangeSource(source);
}

void AlarmOption::ChangeCameraSlot(int camera)
{
    if (!gpWin || camera < 0)
        return;
    gpWin->selectedView = std::min(camera, numCamera);
    gpWin->ChangeCammer();
}

void AlarmOption::CheckSource(int source)
{
    if (sourceChoice->currentIndex() == source)
        ChangeSourceSlot(source);
    else
        sourceChoice->setCurrentIndex(source);
}

void AlarmOption::SetCamera(int camera)
{
    cameraChoice->setCurrentIndex(camera);
}

void AlarmOption::showEvent(QShowEvent* event)
{
    sourceChoice->setCurrentIndex(kLive);
    if (gpWin) {
        const int shown = std::min(gpWin->selectedView, cameraChoice->count() - 1);
        if (cameraChoice->currentIndex() == shown)
            ChangeCameraSlot(shown);
        else
            cameraChoice->setCurrentIndex(shown);
    }
    BWidget::showEvent(event);
}
