#include "conversion/TableRun.h"

#include "conversion/ErrorRule.h"
#include "server/ServerErrors.h"

TableRun::TableRun(ConversionHost& host, QString table) : m_host(host), m_table(std::move(table)) {}

bool TableRun::step(const std::function<void()>& statement)
{
    try {
        statement();
        return true;
    } catch (const TabrixError& e) {
        report(e);
    } catch (const ConversionEnded&) {
        throw;
    } catch (const std::exception& e) {
        report(AsTabrixError(e));
    }
    return false;
}

bool TableRun::send(const QString& statement)
{
    return step([&] { m_host.executeSql(statement); });
}

void TableRun::report(const TabrixError& error)
{
    const QString& text = error.description();
    const ConversionErrorVerdict verdict = JudgeConversionError(error, m_host.options().dialect, afterCreation);
    switch (verdict) {
    case ConversionErrorVerdict::Tolerated:
        return;
    case ConversionErrorVerdict::ConnectionLost:
        // Every further statement would fail the same way: the table ends here,
        // with one line in the log, and the batch stops after it.
        m_connectionLost = text;
        note(ConnectionLostLogLine(m_table, text));
        m_host.setLastErrorText(text);
        fail(text);
        throw ConversionEnded{text};
    case ConversionErrorVerdict::Reported:
    case ConversionErrorVerdict::ReportedAndEnds:
        break;
    }
    m_lines.append(text);
    m_host.logError(text);
    m_host.setLastErrorText(text);
    if (m_host.interruptOnError())
        m_host.showErrorMessage(QString::number(error.number()) + QStringLiteral(" ,  ") + text + QStringLiteral(" ,  ")
                                    + error.source(),
                                ConversionStepName(afterCreation));
    fail(text);
    if (verdict == ConversionErrorVerdict::ReportedAndEnds)
        throw ConversionEnded{};
}

void TableRun::endTable(const TabrixError& error)
{
    m_cutShort = true;
    m_host.logError(error.description());
    m_lines.append(error.description());
    m_host.setLastErrorText(error.description());
    fail(error.description());
    throw ConversionEnded{error.description()};
}

bool TableRun::sendRows(const QString& statement)
{
    try {
        m_host.executeSql(statement);
        return true;
    } catch (const TabrixError& e) {
        if (IsConnectionLost(e) || IsDefiniteRefusal(e))
            report(e);
        else
            endTable(e);
    } catch (const std::exception& e) {
        endTable(AsTabrixError(e));
    }
    return false;
}

void TableRun::fail(const QString& text)
{
    m_failed = true;
    if (m_firstError.isEmpty())
        m_firstError = text;
    m_host.markTableFailed();
}

void TableRun::tally(const RowStatementBuilder& builder)
{
    if (!check)
        return;
    check->addRow();
    const auto& cells = builder.cells();
    for (qsizetype i = 0; i < cells.size(); ++i)
        check->addCell(int(i), cells[i].value, cells[i].defaultText);
}
