#include "conversion/CopyLoop.h"

#include "conversion/RowBatch.h"
#include "conversion/RowStatement.h"
#include "core/TabrixError.h"
#include "core/WorkstationShare.h"
#include "sql/Literals.h"

#include <optional>

using dao::CellValue;

namespace {
// Decimal digits written straight into the buffer: the line is built for every row.
void appendDecimal(char*& p, long long v)
{
    char digits[24];
    int n = 0;
    const bool negative = v < 0;
    unsigned long long u = negative ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    do {
        digits[n++] = char('0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (negative)
        *p++ = '-';
    while (n > 0)
        *p++ = digits[--n];
}
}  // namespace

QString CopyStatusText(long n, long total, long skipped)
{
    const long long percent = total != 0 ? static_cast<long long>(n) * 100 / total : 0;
    char buffer[128];
    char* p = buffer;
    appendDecimal(p, n);
    *p++ = '/';
    appendDecimal(p, total);
    *p++ = ' ';
    *p++ = '(';
    appendDecimal(p, skipped);
    for (const char c : {')', ' ', ' ', ':', ' ', ' '})
        *p++ = c;
    appendDecimal(p, percent);
    *p++ = '%';
    return QString::fromLatin1(buffer, p - buffer);
}

namespace {

// Date of the first row's "datum"; the special time fields take their date from it.
std::optional<QDate> takeDateBase(const dao::Recordset& rs, const QList<dao::Field>& fields,
                                  const RenderErrorSink& report)
{
    int datum = -1;
    for (int i = 0; i < fields.size() && datum < 0; ++i)
        if (fields[i].Name.toLower() == QLatin1String("datum"))
            datum = i;
    if (datum < 0) {
        report(TabrixError(3265, QStringLiteral("Element in dieser Auflistung nicht gefunden.")));
        return std::nullopt;
    }
    CellValue v;
    rs.ReadCell(datum, v);
    if (v.isNull()) {
        report(TabrixError(94, QStringLiteral("Unzulässige Verwendung von Null")));
        return std::nullopt;
    }
    if (v.kind == CellValue::DateTime)
        return v.date.toDate();
    if (const auto parsed = ParseDateText(CellText(v)))
        return parsed->date();
    report(TabrixError(13, QStringLiteral("Typen unverträglich")));
    return std::nullopt;
}

}  // namespace

namespace {

// Runs a step of the Access engine under the conversion's error handler;
// false when it failed (the handler has logged it and marked the table).
template <typename Step>
bool engineStep(TableRun& run, const Step& step)
{
    bool done = false;
    run.step([&] {
        step();
        done = true;
    });
    return done;
}

}  // namespace

bool RunCopyLoop(TableRun& run, dao::Recordset& rs, const TableFlags& flags)
{
    ConversionHost& host = run.host();
    // Rows the engine sees right after opening, and what the table definition counts.
    long counted = 0;
    if (!engineStep(run, [&] { counted = rs.RecordCount(); }))
        return true;
    const long stored = rs.StoredRecordCount();
    const auto reportMissing = [&run, stored](long readable) {
        run.report(TabrixError(3049,
                               QStringLiteral("Tabelle %1: nur %2 von %3 Datensätzen lesbar, %4 Datensätze fehlen "
                                              "(die Access-Datenbank ist beschädigt).")
                                   .arg(run.table())
                                   .arg(readable)
                                   .arg(stored)
                                   .arg(stored - readable),
                               QStringLiteral("DAO.Recordset")));
    };
    if (counted <= 0) {
        if (stored > 0)
            reportMissing(0);
        return true;
    }

    // Errors go through the conversion's handler, which logs them and lets the copy go on.
    const RenderErrorSink report = [&run](const TabrixError& e) { run.report(e); };

    const QList<dao::Field> fields = rs.Fields();
    SpecialTimeFields special;
    if (flags.structureRan && flags.terminkalender)
        special.positions = {flags.zeitPosition, flags.zeit1Position};
    else if (flags.structureRan && flags.formularprotokoll)
        special.positions = {flags.uhrzeitPosition};
    if (!special.positions.isEmpty())
        engineStep(run, [&] { special.dateBase = takeDateBase(rs, fields, report); });

    RowStatementBuilder builder(run.table(), fields, host.dialect(), special);

    // A damaged file may hold fewer readable rows than its table definition
    // counts; the rows that can be read are still copied, and the loss is reported.
    long total = counted;
    if (engineStep(run,
                   [&] {
                       rs.MoveLast();
                       total = rs.RecordCount();
                   })
        && total < stored)
        reportMissing(total);
    // Rows the engine passed over (a damaged file): one line each, and the table fails.
    const auto reportSkipped = [&](RowBatch* gathered, long n, long skipped) {
        const QList<dao::SkippedRow> rows = rs.TakeSkippedRows();
        // The rows gathered before go first, so that the log keeps the order of the rows.
        if (!rows.isEmpty() && gathered)
            gathered->flush(n, skipped);
        for (const dao::SkippedRow& row : rows)
            run.report(TabrixError(3049,
                                   QStringLiteral("Tabelle %1: Datensatz %2 übersprungen: %3")
                                       .arg(run.table())
                                       .arg(row.number)
                                       .arg(row.text),
                                   QStringLiteral("DAO.Recordset")));
    };
    host.progressStart(total);
    long n = 0;
    if (!engineStep(run, [&] { rs.MoveFirst(); })) {
        host.progressStep(0);
        return true;
    }
    reportSkipped(nullptr, 0, 0);
    long skipped = 0;
    // The workstation boxes are disabled while a table converts: they are read
    // once, and a box that holds no number fails every row as before.
    double count = 0;
    double number = 0;
    std::optional<TabrixError> shareError;
    try {
        count = ReadWorkstationNumber(host.workstationCount());
        number = ReadWorkstationNumber(host.workstationNumber());
    } catch (const TabrixError& e) {
        shareError = e;
    }
    const std::function<ConversionOptions()> readOptions = [&host] { return host.options(); };
    // A copy that stops before the table's last row leaves the server table
    // half-filled: that is never a converted table.
    const auto reportCutShort = [&](const QString& reason) {
        run.report(TabrixError(3059, CopyCutShortText(run.table(), n, total, reason)));
    };
    // One buffer for every row's statement.
    QString statement;
    const std::unique_ptr<RowBatch> batch = RowBatch::ForTable(run, builder, total);
    // Rows go only through the login the copy began with.
    const quint64 login = host.login();
    bool reachedEnd = false;
    try {
        for (;;) {
            if (rs.Eof()) {
                reachedEnd = true;
                break;
            }
            if (host.abortRequested())
                break;
            ++n;
            host.progressStep(n);
            host.setCopyStatus(n, total, skipped);

            bool copy = false;
            if (shareError) {
                report(*shareError);
            } else {
                try {
                    copy = RowIsCopied(n, count, number);
                } catch (const TabrixError& e) {
                    report(e);
                }
            }
            const bool gather = copy && batch && host.dialect() == Dialect::MySQL;
            if (gather && batch->add(rs, n, skipped, readOptions))
                ++skipped;
            if (copy && !gather && batch)
                batch->flush(n, skipped);
            if (copy && !gather && engineStep(run, [&] {
                    builder.setDialect(host.dialect());
                    builder.InsertStatement(statement, rs, readOptions, report);
                })) {
                if (statement.isEmpty()) {
                    ++skipped;
                } else if (host.login() != login) {
                    --n;
                    break;
                } else {
                    run.send(statement);
                }
            }
            // A row that cannot be reached ends the copy; what was read is on the server
            // (the rows gathered go first, so that the log keeps the order of the rows).
            if (!engineStep(run, [&] {
                    try {
                        rs.MoveNext();
                    } catch (...) {
                        if (batch)
                            batch->flush(n, skipped);
                        throw;
                    }
                }))
                break;
            reportSkipped(batch.get(), n, skipped);
        }
        // Also after a stop: up to one statement's rows are sent after it.
        if (batch)
            batch->flush(n, skipped);
        if (batch && batch->unsentFrom() > 0) {
            n = batch->unsentFrom() - 1;
            reachedEnd = false;
        }
    } catch (const ConversionEnded& ended) {
        // The handler has ended the table (the connection broke); the log says how far the copy came.
        const long reached = batch && batch->sendingRow() > 0 ? batch->sendingRow() : n;
        run.note(CopyCutShortText(run.table(), reached, total, ended.reason));
        throw;
    }
    if (!reachedEnd)
        reportCutShort(host.abortReason());
    host.progressStep(0);
    if (builder.nulBlanked())
        run.note(QStringLiteral("Tabelle %1: NUL-Zeichen in Texten wurden als Leerzeichen übertragen "
                                "(dieser SQL-Server-Dialekt erhält sie nicht).")
                     .arg(run.table()));
    return reachedEnd;
}

QString CopyCutShortText(const QString& table, long copied, long total, const QString& reason)
{
    QString text =
        QStringLiteral("Tabelle %1: Kopie nach %2 von %3 Datensätzen abgebrochen").arg(table).arg(copied).arg(total);
    if (!reason.isEmpty())
        text += QStringLiteral(" (") + reason + QLatin1Char(')');
    return text + QLatin1Char('.');
}
