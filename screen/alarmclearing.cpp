#include "screen/alarmclearing.h"

#include "core/texttable.h"
#include "core/wizardpara.h"
#include "inspection/cameraworkset.h"
#include "inspection/templatestore.h"
#include "screen/operationrecord.h"
#include "screen/runcontroller.h"
#include "screen/runview.h"
#include "screen/templatelibrary.h"
#include "screen/viewreadings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// Above this area an NG region's defects are too many to ignore.
constexpr int kMaxIgnoredArea = 2000;

const WizardPara& para()
{
    return *gpWPara;
}

QString folderOf(int camera, int step)
{
    return QFileInfo(TemplateStore::TemplatePath(camera, step, 0)).path();
}
}  // namespace

AlarmClearing::AlarmClearing(const Ports& p)
    : ports(p)
{
}

bool AlarmClearing::alarmShown() const
{
    return ports.controller->state().displayState == DisplayState::Alarm;
}

// The camera shown alone is NG (the actions that act on its alarm need one).
bool AlarmClearing::selectedNg(int view) const
{
    return single(view) && !ports.views[view]->cameraOk();
}

void AlarmClearing::record(const QString& text)
{
    ports.controller->record().InsertRecord(text);
}

// Every camera not left out is inspected again on its newest frame and the
// step decided; a single view then follows the cameras still NG.
void AlarmClearing::SlotReCheck()
{
    const int shown = ports.screen->selectedView();
    ports.screen->SaveData();
    ports.controller->ReCheckStep();
    afterReCheck(shown);
}

void AlarmClearing::afterReCheck(int shown)
{
    if (single(shown) && alarmShown() && gSource == kLive) {
        for (int i = 0; i < cameras(); ++i) {
            const int c = (shown + i) % cameras();
            if (!ports.views[c]->cameraOk()) {
                ports.screen->SelectView(c);
                break;
            }
        }
    }
    if (!alarmShown())
        gSource = -1;
}

void AlarmClearing::SlotNoCheckCur()
{
    const WizardPara& p = para();
    if (p.pswNoDetect && ports.screen->CheckPassword() == 0)
        return;
    if (!ports.screen->safeDoorOpen() && p.alarmNeedsDoorOpen) {
        ports.screen->Warn(LanStr(195));
        return;
    }
    const int shown = ports.screen->selectedView();
    if (!single(shown)) {
        if (!ports.screen->Ask(LanStr(102)))
            return;
        ports.screen->SaveData();
        gSource = -1;
        ports.controller->SkipMouldAllCameras();
        return;
    }
    if (ports.views[shown]->cameraOk() && ports.controller->state().anyCameraNg) {
        ports.screen->Warn(LanStr(107));
        return;
    }
    if (!ports.screen->Ask(LanStr(105).arg(shown + 1)))
        return;
    ports.screen->SaveData();
    ports.controller->SkipMouldCamera(shown);
    afterReCheck(shown);
}

void AlarmClearing::SlotAddTemp()
{
    const WizardPara& p = para();
    const RunControlState& st = ports.controller->state();
    const bool alarm = st.displayState == DisplayState::Alarm;
    const bool live = alarm && gSource == kLive;
    const int shown = ports.screen->selectedView();
    if (live) {
        if (!selectedNg(shown)) {
            ports.screen->Warn(LanStr(107));
            return;
        }
        if (!ports.screen->safeDoorOpen() && p.alarmNeedsDoorOpen) {
            ports.screen->Warn(LanStr(195));
            return;
        }
    }
    if (gTempNum <= 1) {
        ports.screen->Warn(LanStr(258));
        return;
    }
    if (p.pswAddTemplate && ports.screen->CheckPassword() == 0)
        return;
    const int k = live ? st.curDetect : ports.screen->editDetect();
    if (!ports.screen->Ask(LanStr(108)))
        return;
    const bool fits = alarm ? (gSource == kLive || gSource == kRecentNg)
                            : st.displayState == DisplayState::Editing && gSource == kRecentNg;
    if (!single(shown) || !fits || k < 0 || k >= kMaxDetects)
        return;
    CameraWorkSet& work = *ports.works[shown];
    const cv::Mat picture = live ? work.imageWork : ports.screen->ShownNgPicture(shown);
    if (picture.empty() || picture.size() != work.imageWork.size() || picture.type() != work.imageWork.type())
        return;
    record(LanStr(109).arg(shown + 1));
    const int slot = chooseSlot(shown, k);
    work.SetTemplate(k, slot, picture);
    TemplateStore::SaveTemplate(work, k, slot);
    ports.screen->TemplateWritten(QFileInfo(TemplateStore::TemplatePath(work.cameraIndex, k, slot)).absoluteFilePath());
    if (live) {
        ports.views[shown]->Retrain(st.curDetect);
        ports.screen->SaveData();
        ports.controller->TemplateAdded(shown);
        afterReCheck(shown);
    } else {
        templateChanged[shown] = true;
    }
}

// A free slot while there is one; with the library full, the oldest
// template but the reference gives way.
int AlarmClearing::chooseSlot(int camera, int step)
{
    CameraWorkSet& work = *ports.works[camera];
    std::vector<int> flags = work.templateFlags[step];
    flags.resize(std::min<size_t>(flags.size(), size_t(gTempNum)));
    const int free = FreeTemplateSlot(flags);
    if (free >= 0)
        return free;
    QVector<TemplateFile> files;
    const QDir folder(folderOf(work.cameraIndex, step));
    const QFileInfoList entries =
        folder.entryInfoList({QStringLiteral("template*.bmp")}, QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries)
        files.append({entry.fileName(), entry.lastModified()});
    const TemplateSlot choice = FullLibrarySlot(files, gTempNum);
    if (!choice.deleteName.isEmpty())
        deleteTemplateFile(camera, step, choice.deleteName);
    return choice.slot;
}

void AlarmClearing::deleteTemplateFile(int camera, int step, const QString& name)
{
    const int index = ports.works[camera]->cameraIndex;
    QFile::remove(folderOf(index, step) + QLatin1Char('/') + name);
    ports.screen->TemplateDeleted(index + 1, step + 1, name);
}

void AlarmClearing::SlotIgnoreAlarmPoint()
{
    const int shown = ports.screen->selectedView();
    if (!selectedNg(shown)) {
        ports.screen->Warn(LanStr(107));
        return;
    }
    if (para().pswIgnorePoint && ports.screen->CheckPassword() == 0)
        return;
    if (!ports.screen->Ask(LanStr(113)))
        return;
    record(LanStr(114).arg(shown + 1));
    CameraWorkSet& work = *ports.works[shown];
    const int d = ports.controller->state().curDetect;
    if (d < 0 || d >= kMaxDetects)
        return;
    cv::Mat& ignore = work.ignoreImage[d];
    if (ignore.empty() && !work.defectImage.empty())
        ignore = cv::Mat::zeros(work.defectImage.size(), CV_8UC1);
    const int regions = work.liveRecord ? std::min(work.liveRecord->roiNum[d], kMaxRegions) : 0;
    for (int r = 0; r < regions; ++r) {
        if (work.roiOk[d][r])
            continue;
        if (work.roiValue[d][r] > kMaxIgnoredArea)
            ports.screen->Warn(LanStr(115).arg(kMaxIgnoredArea));
        else
            MarkIgnorePoints(work.defectImage, work.alarmRects[d][r], ignore);
    }
    ports.screen->Repaint(shown);
    TemplateStore::SaveIgnorePoint(work, d);
    ports.views[shown]->Retrain(d);
}

void AlarmClearing::SlotDeleteIgnorePoint()
{
    const int shown = ports.screen->selectedView();
    if (!selectedNg(shown)) {
        ports.screen->Warn(LanStr(107));
        return;
    }
    if (!ports.screen->Ask(LanStr(116)))
        return;
    record(LanStr(117).arg(shown + 1));
    const int d = ports.controller->state().curDetect;
    ports.views[shown]->ClearIgnorePoints(d);
    ports.screen->Repaint(shown);
    ports.views[shown]->Retrain(d);
}

void AlarmClearing::SlotTempDeleteCur()
{
    if (!single(ports.screen->selectedView()))
        return;
    CameraWorkSet& shownWork = *ports.works[ports.screen->selectedView()];
    if (shownWork.shownTemplate == 0) {
        ports.screen->Warn(LanStr(68));
        return;
    }
    if (!ports.screen->Ask(LanStr(69)))
        return;
    const int shown = ports.screen->selectedView();
    const int k = ports.screen->editDetect();
    if (!single(shown) || k < 0 || k >= kMaxDetects)
        return;
    CameraWorkSet& work = *ports.works[shown];
    const int t = work.shownTemplate;
    work.ClearTemplate(k, t);
    templateChanged[shown] = true;
    deleteTemplateFile(shown, k, QFileInfo(TemplateStore::TemplatePath(work.cameraIndex, k, t)).fileName());
    ports.screen->ShowNextTemplate();
    record(LanStr(70).arg(shown + 1).arg(t + 1));
}

// Before a re-learn: every template but the reference goes, in memory and
// on disk.
void AlarmClearing::SlotTempDeleteAll()
{
    for (int c = 0; c < cameras(); ++c) {
        CameraWorkSet& work = *ports.works[c];
        for (int k = 0; k < std::min(gDNum, kMaxDetects); ++k) {
            for (int t = 1; t < static_cast<int>(work.templateFlags[k].size()); ++t)
                work.ClearTemplate(k, t);
            const QDir folder(folderOf(work.cameraIndex, k));
            const QStringList names = folder.entryList({QStringLiteral("template*")}, QDir::Files);
            for (const QString& name : SurplusTemplateFiles(names))
                deleteTemplateFile(c, k, name);
        }
        work.shownTemplate = 0;
        templateChanged[c] = true;
    }
    record(LanStr(71));
}

void AlarmClearing::SlotAutoChange()
{
    if (!alarmShown() || !(gSource == kTemplate || gSource == kLive) || !single(ports.screen->selectedView()))
        return;
    if (gSource == kLive) {
        ports.screen->ShowEditorTools();
        ports.screen->SetSource(kTemplate);
        return;
    }
    ports.screen->SetSource(kLive);
    for (int c = 0; c < cameras(); ++c) {
        if (!ports.views[c]->cameraOk())
            ports.screen->RestartBlink(c);
    }
}

bool AlarmClearing::ApplySource(int source)
{
    const int before = gSource;
    gSource = source;
    if (!alarmShown())
        return true;
    if (source == kTemplate && ports.screen->CheckPassword() == 0) {
        // Refused: the alarm keeps its live picture, and nothing can be edited.
        gSource = before == kTemplate ? kLive : before;
        return false;
    }
    if (source != kLive)
        ports.controller->AlarmOutputOff();
    return true;
}
