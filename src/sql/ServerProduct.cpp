#include "sql/ServerProduct.h"

#include "sql/DialectRecord.h"

#include <optional>

namespace {

std::optional<Dialect> dialectOfProduct(const QString& dbmsName)
{
    // Parts of the names drivers report. A bare "SQL Server" (old Sybase
    // servers and FreeTDS towards them) names no product clearly.
    for (const Dialect d : AllDialects())
        for (const QString& part : DialectRecord(d).products)
            if (dbmsName.contains(part, Qt::CaseInsensitive))
                return d;
    return std::nullopt;
}

QString buttonCaption(Dialect d)
{
    return DialectRecord(d).caption.toString();
}

}  // namespace

QString ProductMismatchLine(const QString& dbmsName, Dialect chosen)
{
    const std::optional<Dialect> fits = dialectOfProduct(dbmsName);
    if (!fits || *fits == chosen)
        return {};
    return QStringLiteral("Der Server meldet sich als %1; dazu passt der Dialekt %2, gewählt ist %3.")
        .arg(dbmsName.trimmed(), buttonCaption(*fits), buttonCaption(chosen));
}
