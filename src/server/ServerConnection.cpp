#include "server/ServerConnection.h"

#include "core/TabrixError.h"

#include <stdexcept>

void ServerArrayStatement::checkColumns(const ParameterArray& rows) const
{
    if (rows.Columns() != m_columns)
        throw std::invalid_argument("an array of other columns than its statement's");
}

std::unique_ptr<ServerArrayStatement> ServerConnection::PrepareArray(const QString&, const QList<ParameterType>&, int)
{
    throw TabrixError(TabrixError::ServerErrorNumber,
                      QStringLiteral("S1C00:this connection cannot send parameter arrays"), QStringLiteral("ODBC"));
}
