#include "widgets/numbers.h"

#include <QString>
#include <climits>
#include <cmath>

int ParseSaturated(const QString& text)
{
    const QString t = text.trimmed();
    int start = 0;
    const bool negative = t.startsWith(QLatin1Char('-'));
    if (negative || t.startsWith(QLatin1Char('+')))
        start = 1;
    if (start >= t.length())
        return 0;
    long long v = 0;
    for (int i = start; i < t.length(); ++i) {
        const QChar c = t.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        if (v <= INT_MAX)  // beyond that the result saturates anyway
            v = v * 10 + (c.unicode() - '0');
    }
    if (negative)
        v = -v;
    return int(qBound<long long>(INT_MIN, v, INT_MAX));
}

int SaturatedInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= double(INT_MAX))
        return INT_MAX;
    if (v <= double(INT_MIN))
        return INT_MIN;
    return int(v);
}

int AppendDigit(int value, int digit)
{
    const long long v = 10LL * value + digit;
    return int(qBound<long long>(INT_MIN, v, INT_MAX));
}
