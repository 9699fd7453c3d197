#pragma once
// The run controller's reports through the network link CNT_Net. The
// production statistics and per-cycle reports are not part of the link yet;
// those hooks keep doing nothing.

#include "screen/runnet.h"

#include <functional>

class CNT_Net;
struct RunControlState;

class RunNetLink : public RunNet
{
public:
    // state: the run controller's state, read when an alarm is released.
    RunNetLink(CNT_Net& link, std::function<const RunControlState*()> state);

    bool isSetUp() const override;
    bool isClientConnected() const override;
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
