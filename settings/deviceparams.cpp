#include "settings/deviceparams.h"

#include "core/wizardpara.h"
#include "network/network.h"
#include "settings/othernetworks.h"

#include <QDir>
#include <QFile>

#include <cjson/cJSON.h>
#include <limits>

namespace DeviceParams {

namespace {

const char* const kStatisticsFile = "./cnt_net/data/Statistics";
const char* const kManualStopFile = "./cnt_net/data/ManualStop";
const char* const kPictureDirs[] = {"./cnt_net/cnt_alarmimage", "./cnt_net/cnt_tempimage", "./cnt_net/cnt_fail"};

}  // namespace

DeviceSettings Load(const WizardPara& record)
{
    return {WizardPara::Text(record.productName), WizardPara::Text(record.operatorName),
            QString::number(record.cavities), QString::number(record.plannedQuantity),
            QString::number(record.productBatch)};
}

void Store(const DeviceSettings& settings, WizardPara& record)
{
    WizardPara::SetText(record.productName, FitRecordText(settings.product));
    WizardPara::SetText(record.operatorName, FitRecordText(settings.operatorName));
    record.cavities = LeadingInt(settings.cavities);
    record.plannedQuantity = LeadingInt(settings.planned);
    record.productBatch = LeadingInt(settings.batch);
}

int LeadingInt(const QString& text)
{
    int i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    qint64 value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        value = qMin<qint64>(value * 10 + (text[i].unicode() - '0'), qint64(std::numeric_limits<int>::max()) + 1);
    value = negative ? -value : value;
    return int(qBound<qint64>(std::numeric_limits<int>::min(), value, std::numeric_limits<int>::max()));
}

bool ParseProducts(const QString& body, QStringList* names)
{
    const QByteArray utf8 = body.toUtf8();
    cJSON* root = cJSON_ParseWithLength(utf8.constData(), size_t(utf8.size()));
    const cJSON* result = cJSON_GetObjectItem(root, "result");
    bool ok = cJSON_IsArray(result);
    QStringList read;
    for (const cJSON* item = ok ? result->child : nullptr; item; item = item->next) {
        const cJSON* name = cJSON_GetObjectItem(item, "product_name");
        if (!name) {
            ok = false;
            break;
        }
        read << (cJSON_IsString(name) ? QString::fromUtf8(name->valuestring) : QString());
    }
    cJSON_Delete(root);
    if (ok)
        *names = read;
    return ok;
}

QStringList MergedProducts(const QStringList& shown, const QString& current, QStringList names)
{
    if (shown.isEmpty())
        return names;
    names.removeOne(current);
    names.prepend(current);
    return names;
}

void ResetStatistics(CNT_Net* net)
{
    QFile::remove(QLatin1String(kStatisticsFile));
    QFile::remove(QLatin1String(kManualStopFile));
    for (const char* dir : kPictureDirs)
        QDir(QLatin1String(dir)).removeRecursively();
    if (net) {
        net->InitStatistics();
        net->InitManualStop();
    }
}

}  // namespace DeviceParams
