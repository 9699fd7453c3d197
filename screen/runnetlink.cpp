#include "screen/runnetlink.h"

#include "inspection/paramroi.h"
#include "network/network.h"
#include "screen/runstate.h"

#include <limits>

RunNetLink::RunNetLink(CNT_Net& link, std::function<const RunControlState*()> state)
    : link(link), state(std::move(state))
{
    auto getter = this->state;
    link.runState = [getter] {
        const RunControlState* st = getter ? getter() : nullptr;
        return st ? st->runState : int(RunState::Detecting);
    };
    link.cycleTenths = [getter] {
        const RunControlState* st = getter ? getter() : nullptr;
        return st ? st->cycleLength : qint64(0);
    };
}

RunNetLink::~RunNetLink()
{
    link.runState = [] { return int(RunState::Detecting); };
    link.cycleTenths = [] { return qint64(0); };
}

bool RunNetLink::isSetUp() const
{
    return link.isSetUp;
}

bool RunNetLink::isClientConnected() const
{
    return link.isClientConnected;
}

void RunNetLink::SendStatisticsOnce(bool anyNg, int trigSource)
{
    link.CNT_SendStatistics_Once(g_listParamROI, anyNg, trigSource);
}

void RunNetLink::AddStatisticsItem(int camera, int step, int region)
{
    link.ChkandAddStaticticsItem(camera, step, region);
}

void RunNetLink::SendStatistics()
{
    link.CNT_SendStatistics(QStringLiteral("null"));
}

void RunNetLink::AddNgTimes(qint64 ms)
{
    link.CNT_AddNgTimes(int(qBound<qint64>(0, ms, std::numeric_limits<int>::max())));
}

void RunNetLink::SendSaveNgVideo(int camera, int isNg)
{
    link.CNT_SendSaveNgVideo(camera, isNg);
}

void RunNetLink::SendTelInfo(int step, int failedRegions)
{
    link.CNT_SendTelInfo(step, failedRegions);
}

int RunNetLink::ReleasedState(const RunControlState& st)
{
    const int d = st.curDetect;
    if (d < 0 || d >= kMaxDetects)
        return 0;
    for (int c = 0; c < kMaxCameras; ++c) {
        const int s = st.imageState[c][d];
        if (s >= ResultImageState::NotDetected && s <= ResultImageState::ReDetectOk)
            return s;
    }
    return 0;
}

void RunNetLink::SendCancel()
{
    const RunControlState* st = state ? state() : nullptr;
    link.CNT_SendCancle(st ? ReleasedState(*st) : 0);
}

void RunNetLink::ClearParamList()
{
    g_listParamROI.clear();
}

void RunNetLink::SendRecord(const QDateTime& when, const QString& level, const QString& text)
{
    link.CNT_SendRecord(when, level, text);
}
