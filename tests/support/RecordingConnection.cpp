#include "RecordingConnection.h"

void RecordingConnection::failWhenStartsWith(const QString& prefix, const QString& description)
{
    failures.append({[prefix](const QString& s) { return s.startsWith(prefix); }, description});
}

void RecordingConnection::failWhenContains(const QString& part, const QString& description)
{
    failures.append({[part](const QString& s) { return s.contains(part); }, description});
}

void RecordingConnection::answerWhenStartsWith(const QString& prefix, const QVariant& value)
{
    answers.append({[prefix](const QString& s) { return s.startsWith(prefix); }, value});
}

QStringList RecordingConnection::withoutCatalogue() const
{
    QStringList result;
    for (const QString& s : statements)
        if (!s.startsWith(QLatin1String("<catalogue> ")))
            result.append(s);
    return result;
}

void RecordingConnection::maybeFail(const QString& statement) const
{
    for (const Failure& f : failures)
        if (f.match(statement))
            throw TabrixError(TabrixError::ServerErrorNumber, f.description, QStringLiteral("ODBC"));
}

void RecordingConnection::Execute(const QString& statement, int)
{
    statements.append(statement);
    if (journal)
        journal->append(statement);
    maybeFail(statement);
    if (afterExecute)
        afterExecute(statement);
}

namespace {
class RecordedResult : public ServerResultSet {
public:
    explicit RecordedResult(QVariant v) : m_value(std::move(v)) {}
    QVariant Value(int) const override { return m_value; }
    void Close() override {}

private:
    QVariant m_value;
};
}  // namespace

std::unique_ptr<ServerResultSet> RecordingConnection::OpenResultset(const QString& query, int, int, int)
{
    statements.append(query);
    maybeFail(query);
    for (const Answer& a : answers)
        if (a.match(query))
            return std::make_unique<RecordedResult>(a.value);
    return std::make_unique<RecordedResult>(QVariant(0));
}

ServerTable RecordingConnection::CatalogueTable(const QString& name)
{
    statements.append(QStringLiteral("<catalogue> ") + name);
    const ServerTable* found = nullptr;
    for (const ServerTable& t : catalogue)
        if (t.Name.compare(name, Qt::CaseInsensitive) == 0 && (!found || t.Name == name))
            found = &t;
    if (found)
        return *found;
    if (anyTable)
        return ServerTable{name, {QStringLiteral("Nr"), QStringLiteral("Alt")}};
    throw TabrixError(TabrixError::ServerErrorNumber, QStringLiteral("S0002:no such table ") + name,
                      QStringLiteral("ODBC"));
}
