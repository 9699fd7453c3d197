#pragma once
// Reports of the run controller and the operation record to the network
// link (CNT_Net). Every hook does nothing here; the network link overrides
// them. The controller sends only while netLinkOn is set and isSetUp().

#include <QDateTime>
#include <QString>

class RunNet
{
public:
    virtual ~RunNet() = default;

    virtual bool isSetUp() const { return false; }
    virtual bool isClientConnected() const { return false; }

    // CNT_SendStatistics_Once(g_listParamROI, anyNg, trigSource).
    virtual void SendStatisticsOnce(bool /*anyNg*/, int /*trigSource*/) {}
    virtual void SendSaveNgVideo(int /*a*/, int /*b*/) {}
    virtual void SendTelInfo(int /*step*/, int /*failedRegions*/) {}
    // ChkandAddStaticticsItem(camera, step, region).
    virtual void AddStatisticsItem(int /*camera*/, int /*step*/, int /*region*/) {}
    // CNT_SendStatistics("null").
    virtual void SendStatistics() {}
    virtual void AddNgTimes(qint64 /*ms*/) {}
    virtual void SendCancel() {}
    // Empties g_listParamROI.
    virtual void ClearParamList() {}
    virtual void SendRecord(const QDateTime& /*when*/, const QString& /*level*/, const QString& /*text*/) {}
};
