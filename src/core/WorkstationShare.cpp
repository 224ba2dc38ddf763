#include "core/WorkstationShare.h"

#include "core/TabrixError.h"

#include <cmath>

bool RowIsCopied(long n, double count, double number)
{
    // Whole-number remainder as the workstation boxes are meant: count 3 gives 1, 2, 0, 1 ...
    const long long whole = static_cast<long long>(std::nearbyint(count));
    if (whole == 0)
        throw TabrixError(11, QStringLiteral("Division durch Null"));
    return count - number == static_cast<double>(n % whole);
}

double ReadWorkstationNumber(const QString& text)
{
    // The boxes hold small whole numbers; those are read without the general parser.
    if (!text.isEmpty() && text.size() <= 6) {
        int v = 0;
        bool digits = true;
        for (QChar c : text) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                digits = false;
                break;
            }
            v = v * 10 + (c.unicode() - '0');
        }
        if (digits)
            return v;
    }
    bool ok = false;
    QString t = text.trimmed();
    double v = t.toDouble(&ok);
    if (!ok)
        v = t.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok)
        throw TabrixError(13, QStringLiteral("Typen unverträglich"));
    return v;
}
