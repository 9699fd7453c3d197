#include "settings/dialogrules.h"

#include <QFile>
#include <QStringList>

const char* const kConfCountKey = "Count";

int RepeatedCameraPosition(const int* positions, int views)
{
    for (int a = 0; a < views; ++a) {
        for (int b = a + 1; b < views; ++b) {
            if (positions[a] == positions[b])
                return positions[a];
        }
    }
    return -1;
}

ConfEntries ParseConfiguration(const QString& text)
{
    ConfEntries entries;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        QString key = fields.value(0);
        QString value = fields.value(1);
        entries << qMakePair(key.replace(QLatin1Char('_'), QLatin1Char(' ')),
                             value.replace(QLatin1Char('_'), QLatin1Char(' ')));
    }
    return entries;
}

ConfEntries ReadConfiguration(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return ParseConfiguration(QString::fromUtf8(f.readAll()));
}

QMap<QString, QString> ConfigurationMap(const ConfEntries& entries)
{
    QMap<QString, QString> map;
    for (const auto& e : entries)
        map.insert(e.first, e.second);
    return map;
}
