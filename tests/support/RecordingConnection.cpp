#include "RecordingConnection.h"

#include <charconv>
#include <thread>

void RecordingConnection::failWhenStartsWith(const QString& prefix, const QString& description)
{
    failures.append({[prefix](const QString& s) { return s.startsWith(prefix); }, description});
}

void RecordingConnection::refuseRowWhenContains(const QString& part, const QString& description)
{
    refusals.append({[part](const QString& row) { return row.contains(part); }, description});
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
    if (arrayOnItsWay)
        meanwhile.append(statement);
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
    if (arrayOnItsWay)
        meanwhile.append(query);
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

namespace {
QString parameterText(const ParameterValue& v)
{
    if (v.null)
        return QStringLiteral("NULL");
    switch (v.type) {
    case ParameterType::Whole:
        return QString::number(v.whole);
    case ParameterType::Decimal:
        return v.text;
    case ParameterType::Double: {
        char buffer[32];
        return QString::fromLatin1(buffer, std::to_chars(buffer, buffer + sizeof buffer, v.real).ptr - buffer);
    }
    case ParameterType::Timestamp: {
        const ParameterTimestamp& t = v.timestamp;
        return QString::asprintf("TIMESTAMP'%04d-%02d-%02d %02d:%02d:%02d'", t.year, t.month, t.day, t.hour, t.minute,
                                 t.second);
    }
    case ParameterType::Text:
        return QLatin1Char('\'')
            + QString(v.text)
                  .replace(QLatin1Char('\''), QLatin1String("''"))
                  .replace(QChar(u'\0'), QLatin1String("\\0"))
            + QLatin1Char('\'');
    case ParameterType::Binary:
        return QStringLiteral("0x") + QString::fromLatin1(v.bytes.toHex().toUpper());
    }
    return {};
}
}  // namespace

QString RecordingConnection::ArrayRowText(const ParameterArray& rows, int row)
{
    QStringList values;
    for (int c = 0; c < rows.Columns().size(); ++c)
        values << parameterText(rows.Value(row, c));
    return QLatin1Char('(') + values.join(QLatin1Char(',')) + QLatin1Char(')');
}

class RecordingArrayStatement : public ServerArrayStatement {
public:
    RecordingArrayStatement(RecordingConnection& connection, const QString& sql, const QList<ParameterType>& columns,
                            int maxRows)
        : ServerArrayStatement(sql, columns, maxRows, ParameterArray::TextForm::Utf16, connection.arrayPayload)
        , m_connection(connection)
    {
    }

    QList<ArrayRowState> Execute(const ParameterArray& rows) override
    {
        checkColumns(rows);
        if (rows.Rows() == 0)
            return {};
        m_connection.arrayOnItsWay = true;
        std::this_thread::sleep_for(m_connection.arrayTime);
        m_connection.arrayOnItsWay = false;
        QStringList texts;
        QList<ArrayRowState> states;
        QString refusal;
        for (int r = 0; r < rows.Rows(); ++r) {
            texts << RecordingConnection::ArrayRowText(rows, r);
            states << ArrayRowState::Stored;
            for (const RecordingConnection::Refusal& f : m_connection.refusals) {
                if (f.match(texts.last())) {
                    states.last() = ArrayRowState::Refused;
                    if (refusal.isEmpty())
                        refusal = f.description;
                    break;
                }
            }
        }
        const QString entry = Text() + QStringLiteral(" <- ") + texts.join(QLatin1Char(','));
        m_connection.statements.append(entry);
        if (m_connection.journal)
            m_connection.journal->append(entry);
        m_connection.maybeFail(entry);
        if (!refusal.isEmpty() && m_connection.arraysFailWhole)
            throw TabrixError(TabrixError::ServerErrorNumber, refusal, QStringLiteral("ODBC"));
        if (m_connection.afterExecute)
            m_connection.afterExecute(entry);
        return states;
    }

private:
    RecordingConnection& m_connection;
};

std::unique_ptr<ServerArrayStatement>
RecordingConnection::PrepareArray(const QString& sql, const QList<ParameterType>& columns, int maxRows)
{
    return std::make_unique<RecordingArrayStatement>(*this, sql, columns, std::max(maxRows, 1));
}
