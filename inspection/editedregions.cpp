#include "inspection/editedregions.h"

#include "inspection/cameraworkset.h"
#include "inspection/templatestore.h"

#include "core/wizardpara.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using StepCopy = std::pair<int, int>;   // source step, target step

// The steps whose regions are copies of another step's, in copy order.
std::vector<StepCopy> copiedSteps(const WizardPara& p)
{
    if (!p.mouldAsProduct)
        return {};
    switch (p.machineType) {
    case 0:
    case 3:
    case 5:
        return p.detectOn[0] ? std::vector<StepCopy>{{0, 1}} : std::vector<StepCopy>{};
    case 1:
    case 2:
        return {{1, 3}, {0, 2}};
    default:
        return {};
    }
}

int stepsInUse()
{
    return std::clamp(gDNum, 0, kMaxDetects);
}

void copyStep(CameraWorkSet& view, int s, int t)
{
    CammerSingleton& record = *view.liveRecord;
    const int n = std::clamp(record.roiNum[s], 0, kMaxRegions);
    record.roiNum[t] = n;
    for (int r = 0; r < n; ++r) {
        switch (record.roiType[s][r]) {
        case kRoiRect:
            record.rects[t][r] = record.rects[s][r];
            record.rects[t][r].SetSelected(false);
            break;
        case kRoiCircle:
            record.circles[t][r] = record.circles[s][r];
            record.circles[t][r].SetSelected(false);
            break;
        default:
            record.polygons[t][r] = record.polygons[s][r];
            record.polygons[t][r].SetSelected(false);
            break;
        }
        view.liveMasks[t][r] = view.liveMasks[s][r];
        record.roiType[t][r] = record.roiType[s][r];
        record.minWH[t][r] = record.minWH[s][r];
        record.sensitivity[t][r] = record.sensitivity[s][r];
        record.area[t][r] = record.area[s][r];
        record.func[t][r] = record.func[s][r];
    }
}

}  // namespace

namespace EditedRegions {

void OpenEdit(CameraWorkSet& view)
{
    if (!view.liveRecord || !view.editRecord)
        return;
    *view.editRecord = *view.liveRecord;
    BackMask(view);
}

void BackMask(CameraWorkSet& view)
{
    for (int d = 0; d < stepsInUse(); ++d)
        view.editMasks[d] = view.liveMasks[d];
}

void RestorMask(CameraWorkSet& view, const WizardPara& settings)
{
    const std::vector<StepCopy> copies = copiedSteps(settings);
    for (int d = 0; d < stepsInUse(); ++d) {
        const bool copied = std::any_of(copies.begin(), copies.end(), [d](const StepCopy& c) { return c.second == d; });
        if (!copied)
            view.liveMasks[d] = view.editMasks[d];
    }
}

void CopyPara(CameraWorkSet& view, const WizardPara& settings)
{
    if (!view.liveRecord)
        return;
    for (const StepCopy& c : copiedSteps(settings))
        copyStep(view, c.first, c.second);
}

bool Commit(CameraWorkSet& view, QSqlDatabase& paramDb, const WizardPara& settings)
{
    if (!view.liveRecord || !view.editRecord)
        return false;
    *view.liveRecord = *view.editRecord;
    RestorMask(view, settings);
    if (!copiedSteps(settings).empty()) {
        CopyPara(view, settings);
        OpenEdit(view);
    }
    return view.liveRecord->SaveDatatoFile(paramDb);
}

void DeleteAllROI(CameraWorkSet& view, int step)
{
    if (!view.editRecord || step < 0 || step >= kMaxDetects)
        return;
    view.editRecord->roiNum[step] = 0;
    if (!view.ignoreImage[step].empty())
        view.ignoreImage[step].setTo(0);
    TemplateStore::SaveIgnorePoint(view, step);
}

}  // namespace EditedRegions
