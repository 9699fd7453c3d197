#pragma once
// The run controller's reports through the network link CNT_Net. The link
// reads the run state and the cycle length through the same state getter.

#include "screen/runnet.h"

#include <functional>

class CNT_Net;
struct RunControlState;

class RunNetLink : public RunNet
{
public:
    // state: the run controller's state, read when an alarm is released.
    RunNetLink(CNT_Net& link, std::function<const RunControlState*()> state);
    ~RunNetLink() override;

    bool isSetUp() const override;
    bool isClientConnected() const override;
    void SendStatisticsOnce(bool anyNg, int trigSource) override;
    void AddStatisticsItem(int camera, int step, int region) override;
    void SendStatistics() override;
    void AddNgTimes(qint64 ms) override;
    void SendSaveNgVideo(int camera, int isNg) override;
    void SendTelInfo(int step, int failedRegions) override;
    void SendCancel() override;
    void ClearParamList() override;
    void SendRecord(const QDateTime& when, const QString& level, const QString& text) override;

    // The result-picture state of the released alarm: the first camera whose
    // state for the step is one of the clearing states, else 0.
    static int ReleasedState(const RunControlState& state);

private:
    CNT_Net& link;
    std::function<const RunControlState*()> state;
};
