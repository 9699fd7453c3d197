#pragma once
// The link's stored records under ./cnt_net/data: whole-file reads and
// writes, and the typed look-ups that restore a record from its JSON text.
// Key look-up ignores case; a value of the wrong type counts as missing.

#include <QByteArray>
#include <QString>

struct cJSON;

namespace NetStore {

// Largest stored record read back; a longer file counts as unreadable.
constexpr qint64 kMaxRecordBytes = 16 * 1024 * 1024;

// The whole file; false when it is missing, unreadable or too long.
bool ReadWhole(const QString& path, QByteArray* text);
// Replaces the file with data through a temporary file. On failure writes
// "open" and the reason to standard error and returns false.
bool WriteWhole(const QString& path, const QByteArray& data);

bool Int(const cJSON* object, const char* key, int* value);
bool Int64(const cJSON* object, const char* key, qint64* value);
bool Text(const cJSON* object, const char* key, QByteArray* value);

}  // namespace NetStore
