#include "server/ServerProduct.h"

#include <optional>

namespace {

// The dialect's name as its option button in the main window shows it.
QString buttonCaption(Dialect d)
{
    return d == Dialect::MSSQL ? QStringLiteral("Microsoft SQL") : dialectName(d);
}

std::optional<Dialect> dialectOfProduct(const QString& dbmsName)
{
    // Parts of the names drivers report, first match wins. A bare "SQL Server"
    // (old Sybase servers and FreeTDS towards them) names no product clearly.
    static const struct {
        const char* part;
        Dialect dialect;
    } products[] = {
        {"MariaDB", Dialect::MySQL},
        {"MySQL", Dialect::MySQL},
        {"Microsoft SQL Server", Dialect::MSSQL},
        {"Oracle", Dialect::Oracle},
        {"Adaptive Server", Dialect::Sybase},
        {"Sybase", Dialect::Sybase},
        {"SQL Anywhere", Dialect::Sybase},
        {"DB2", Dialect::DB2},
    };
    for (const auto& product : products) {
        if (dbmsName.contains(QLatin1String(product.part), Qt::CaseInsensitive))
            return product.dialect;
    }
    return std::nullopt;
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
