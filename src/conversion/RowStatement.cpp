#include "conversion/RowStatement.h"

#include "conversion/ColumnMapping.h"
#include "sql/Names.h"

using dao::CellValue;

RowStatementBuilder::RowStatementBuilder(const QString& table, const QList<dao::Field>& fields, Dialect dialect,
                                         SpecialTimeFields special)
    : m_table(table)
    , m_dialect(dialect)
    , m_special(std::move(special))
{
    // The columns the table has, each read from its place in the recordset.
    for (int i = 0; i < fields.size(); ++i)
        if (Transferable(fields[i])) {
            m_fields.append(fields[i]);
            m_sources.append(i);
        }
    writeNames();
}

template <typename ReadCell, typename Options>
bool RowStatementBuilder::readRow(const ReadCell& readCell, const Options& readOptions)
{
    // The cells first: which of them the statement holds decides its column
    // list, which is the same for most rows and then written only once.
    const qsizetype n = m_fields.size();
    bool optionsRead = false;
    bool sameColumns = m_prefixValid;
    bool any = false;
    for (qsizetype i = 0; i < n; ++i) {
        Cell& c = m_cells[i];
        try {
            readCell(m_sources[i], c.value);
        } catch (const TabrixError& e) {
            // The flags of the cells read so far are the new row's: the
            // column list is written anew for the next row.
            m_prefixValid = false;
            throw RowUnreadable{e};
        }
        if (!c.defaultText.isEmpty())
            c.defaultText.clear();
        const bool isNull = c.value.isNull();
        if (isNull && !optionsRead) {
            readDefaults(readOptions());
            optionsRead = true;
        }
        if (isNull)
            c.defaultText = m_defaults[i].rowValue;
        // A column the server gives a default of its own gets NULL: the cell
        // stays empty as it is in Access.
        const bool included = !isNull || !c.defaultText.isEmpty() || m_defaults[i].onServer;
        if (included != c.included) {
            c.included = included;
            sameColumns = false;
        }
        any = any || included;
    }
    if (!any)
        return false;
    if (!sameColumns) {
        m_prefix = m_head;
        QLatin1Char separator('(');
        for (qsizetype i = 0; i < n; ++i) {
            if (!m_cells[i].included)
                continue;
            m_prefix += separator;
            m_prefix += m_names[i];
            separator = QLatin1Char(',');
        }
        m_prefix += QLatin1StringView(") VALUES ");
        m_prefixValid = true;
    }
    return true;
}

void RowStatementBuilder::readDefaults(const ConversionOptions& options)
{
    // The defaults follow the settings, which the user may change during the copy.
    if (m_defaultsFor && m_defaultsFor->dialect == options.dialect && m_defaultsFor->default0 == options.default0
        && m_defaultsFor->defaultBlank == options.defaultBlank && m_defaultsFor->linuxSwitch == options.linuxSwitch)
        return;
    m_defaultsFor = options;
    m_defaults.resize(m_fields.size());
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        m_defaults[i].rowValue = SQLDefault(m_fields[i], false, options);
        m_defaults[i].onServer = !DefaultClause(m_fields[i], options).isEmpty();
    }
}

void RowStatementBuilder::writeValues(StatementBuffer& out, const RenderErrorSink& onError)
{
    writeValues(out, m_cells, onError);
}

template <typename Cells>
void RowStatementBuilder::writeValues(StatementBuffer& out, const Cells& cells, const RenderErrorSink& onError)
{
    QLatin1Char separator('(');
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        const Cell& c = cells[i];
        if (!c.included)
            continue;
        out += separator;
        separator = QLatin1Char(',');
        if (c.value.isNull() && c.defaultText.isEmpty()) {
            out += QLatin1StringView("NULL");
            continue;
        }
        const dao::Field& field = m_fields[i];
        const bool special = field.Type == dao::dbDate && m_special.contains(int(i));
        if (AppendValue(out, field, c.value, c.defaultText, m_dialect, special, m_special.dateBase, onError))
            m_nulBlanked = true;
    }
    out += QLatin1Char(')');
}

template <typename ReadCell, typename Options>
void RowStatementBuilder::buildInto(QString& statement, const ReadCell& readCell, const Options& readOptions,
                                    const RenderErrorSink& onError)
{
    statement.resize(0);
    if (!readRow(readCell, readOptions))
        return;
    {
        StatementBuffer out(statement, m_longestStatement);
        out += m_prefix;
        writeValues(out, onError);
    }
    m_longestStatement = std::max(m_longestStatement, statement.size());
}

bool RowStatementBuilder::RowValues(QString& values, const dao::Recordset& rs,
                                    const std::function<ConversionOptions()>& options, const RenderErrorSink& onError)
{
    values.resize(0);
    if (!readRow([&](int i, CellValue& cell) { rs.ReadCell(i, cell); }, options))
        return false;
    {
        StatementBuffer out(values, m_longestStatement);
        writeValues(out, onError);
    }
    m_longestStatement = std::max(m_longestStatement, values.size());
    return true;
}

bool RowStatementBuilder::ReadRow(const dao::Recordset& rs, const std::function<ConversionOptions()>& options)
{
    return readRow([&](int i, CellValue& cell) { rs.ReadCell(i, cell); }, options);
}

bool RowStatementBuilder::RowParameters(QList<ParameterValue>& values, const RenderErrorSink& onError)
{
    values.resize(0);
    m_parameterErrors.clear();
    bool blanked = false;
    const RenderErrorSink keep = [this](const TabrixError& e) { m_parameterErrors.append(e); };
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        const Cell& c = m_cells[i];
        if (!c.included)
            continue;
        const dao::Field& field = m_fields[i];
        if (c.value.isNull() && c.defaultText.isEmpty()) {
            values.append(ParameterValue::Null(ParameterTypeOf(field)));
            continue;
        }
        const bool special = field.Type == dao::dbDate && m_special.contains(int(i));
        std::optional<ParameterValue> value =
            CellParameter(field, c.value, c.defaultText, m_dialect, special, m_special.dateBase, keep, blanked);
        if (!value)
            return false;
        values.append(std::move(*value));
    }
    m_nulBlanked = m_nulBlanked || blanked;
    if (onError)
        for (const TabrixError& e : std::as_const(m_parameterErrors))
            onError(e);
    return true;
}

void RowStatementBuilder::WriteValues(QString& values, const QList<Cell>& cells)
{
    StatementBuffer out(values, m_longestStatement);
    writeValues(out, cells, {});
}

void RowStatementBuilder::InsertStatement(QString& statement, const dao::Recordset& rs,
                                          const std::function<ConversionOptions()>& options,
                                          const RenderErrorSink& onError)
{
    buildInto(
        statement, [&](int i, CellValue& cell) { rs.ReadCell(i, cell); }, options, onError);
}

void RowStatementBuilder::setDialect(Dialect dialect)
{
    if (dialect == m_dialect)
        return;
    m_dialect = dialect;
    writeNames();
}

void RowStatementBuilder::writeNames()
{
    m_prefixValid = false;
    m_cells.resize(m_fields.size());
    // The rows go into the columns the CREATE TABLE statement made.
    m_head = QStringLiteral("INSERT INTO ") + SqlName(m_table, m_dialect) + QLatin1Char(' ');
    m_names.clear();
    m_names.reserve(m_fields.size());
    for (const dao::Field& f : m_fields)
        m_names.append(ShortenColumnNames(WrittenColumnName(f.Name, m_table, m_dialect)));
}

QString RowStatementBuilder::InsertStatement(const QList<QVariant>& row, const ConversionOptions& options,
                                             const RenderErrorSink& onError)
{
    QString statement;
    buildInto(
        statement, [&](int i, CellValue& cell) { cell.assign(i < row.size() ? row[i] : QVariant()); },
        [&] { return options; }, onError);
    return statement;
}
