// The link's production statistics, per-cycle results and manual stops.

#include "network/network.h"

#include "network/netstore.h"

#include "core/globals.h"
#include "core/wizardpara.h"

#include <QFile>
#include <QMutexLocker>

namespace {

QVector<int> Counts(const int* counts)
{
    return QVector<int>(counts, counts + kMaxCameras);
}

qint64 NowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

}  // namespace

int CNT_Net::stateCode() const
{
    const int state = runState();
    return state == 3 ? 1 : state == 1 ? 0 : 2;
}

QString CNT_Net::statisticsProductName() const
{
    QMutexLocker lock(&statisticsMutex);
    return QString::fromUtf8(statistics.statistics.product_name);
}

void CNT_Net::InitStatistics()
{
    QMutexLocker lock(&statisticsMutex);
    statistics.InitStatistics(NowMs());
}

void CNT_Net::InitManualStop()
{
    QMutexLocker lock(&statisticsMutex);
    QByteArray text;
    if (NetStore::ReadWhole(QLatin1String(CNT_Path_ManualStop::kFile), &text) && !manualStop.Restore(text))
        QFile::remove(QLatin1String(CNT_Path_ManualStop::kFile));
}

void CNT_Net::ChkandAddStaticticsItem(int camera, int detect, int roi)
{
    QMutexLocker lock(&statisticsMutex);
    statistics.ChkandAddStaticticsItem(camera, detect, roi);
}

void CNT_Net::CNT_AddNgTimes(int ms)
{
    QMutexLocker lock(&statisticsMutex);
    statistics.CNT_AddNgTimes(ms);
}

int CNT_Net::CNT_AddCycle()
{
    QMutexLocker lock(&statisticsMutex);
    return statistics.CNT_AddCycle();
}

CNT_Path_Statistics CNT_Net::statisticsSnapshot() const
{
    QMutexLocker lock(&statisticsMutex);
    return statistics.statistics;
}

QVector<int> CNT_Net::alarmDurations() const
{
    QMutexLocker lock(&statisticsMutex);
    return statistics.alarmDurations;
}

void CNT_Net::CNT_SendStatistics(const QString& ngImage)
{
    if (!sends(kSendStatistics) || !gpWPara)
        return;
    const WizardPara& p = *gpWPara;
    StatisticsReportInputs in;
    in.host = netCard.hostName;
    in.state = stateCode();
    in.nowMs = NowMs();
    in.ngImage = ngImage;
    in.camerasInUse = numCamera;
    in.allNum = Counts(gAllNum);
    in.failNum = Counts(gFailNum);
    in.cavities = p.cavities;
    in.cycleTenths = cycleTenths();
    in.productName = QByteArray(p.productName);
    in.productBatch = p.productBatch;
    in.plannedQuantity = p.plannedQuantity;

    QMutexLocker lock(&statisticsMutex);
    in.stoppedMinutes = manualStop.stop_check_timelen;
    const QByteArray body = statistics.Report(in);
    if (body.isEmpty()) {
        QFile::remove(QLatin1String(CNT_Path_Statistics::kFile));
        statistics.InitStatistics(in.nowMs);
        return;
    }
    CNT_Path_Statistics::SaveToFile(body.constData(), body.size());
    queueMessage(kSendStatistics, body);
}

void CNT_Net::CNT_SendStatistics_Once(const QList<param_roi>& results, bool isNg, int triggerSource)
{
    if (!sends(kSendStatisticsOnce) || !gpWPara)
        return;
    const WizardPara& p = *gpWPara;
    lastCycleUtc = NowMs();
    CycleReportInputs in;
    in.host = netCard.hostName;
    in.utc = lastCycleUtc;
    in.runState = runState();
    in.trigSource = triggerSource;
    in.productName = QByteArray(p.productName);
    in.productBatch = p.productBatch;
    in.plannedQuantity = p.plannedQuantity;
    in.cavities = p.cavities;
    in.operatorName = QByteArray(p.operatorName);
    in.isNg = isNg;
    in.camerasInUse = numCamera;
    in.allNum = Counts(gAllNum);
    in.failNum = Counts(gFailNum);
    queueMessage(kSendStatisticsOnce, NetStatistics::CycleReport(in, results));
}

void CNT_Net::CNT_SendManualStop()
{
    if (!sends(kSendManualStop) || !gpWPara)
        return;
    const int state = stateCode();
    QMutexLocker lock(&statisticsMutex);
    manualStop.Update(runState() == 3, QDateTime::currentDateTime(), QByteArray(gpWPara->operatorName));
    const QByteArray body = manualStop.Body(netCard.hostName, state);
    CNT_Path_ManualStop::SaveToFile(body.constData(), body.size());
    queueMessage(kSendManualStop, body);
}

void CNT_Net::ReportStartStop()
{
    if (!gpWPara || !gpWPara->netLinkOn || !isSetUp || !isClientConnected)
        return;
    CNT_SendManualStop();
    CNT_SendStatistics(QStringLiteral("null"));
}

void CNT_Net::CNT_SendAddRemind(const CNT_Path_Remind& remind)
{
    if (!sends(kSendAddRemind))
        return;
    const QByteArray body = remind.Body(netCard.hostName);
    CNT_Path_Remind::SaveToFile(body.constData(), body.size());
    queueMessage(kSendAddRemind, body);
}

void CNT_Net::CNT_SendDelRemind(qint64 utc)
{
    if (!sends(kSendDelRemind))
        return;
    const QByteArray body = CNT_Path_Remind::DeletedBody(netCard.hostName, utc);
    if (CNT_Path_Remind::RemoveFromFile(utc))
        queueMessage(kSendDelRemind, body);
}
