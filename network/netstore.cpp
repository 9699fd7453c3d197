#include "network/netstore.h"

#include "network/netbody.h"

#include <cjson/cJSON.h>

#include <QFile>
#include <QSaveFile>

#include <cstdio>
#include <limits>

namespace NetStore {

bool ReadWhole(const QString& path, QByteArray* text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxRecordBytes)
        return false;
    *text = file.readAll();
    return true;
}

bool WriteWhole(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    std::fprintf(stderr, "open: %s\n", qPrintable(file.errorString()));
    return false;
}

bool Int64(const cJSON* object, const char* key, qint64* value)
{
    return NetBody::WholeNumber(cJSON_GetObjectItem(object, key), value);
}

bool Int(const cJSON* object, const char* key, int* value)
{
    qint64 v = 0;
    if (!Int64(object, key, &v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    *value = int(v);
    return true;
}

bool Text(const cJSON* object, const char* key, QByteArray* value)
{
    const cJSON* item = cJSON_GetObjectItem(object, key);
    if (!cJSON_IsString(item))
        return false;
    *value = QByteArray(item->valuestring);
    return true;
}

}  // namespace NetStore
