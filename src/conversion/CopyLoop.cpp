#include "conversion/CopyLoop.h"

#include "conversion/ColumnMapping.h"
#include "conversion/RowSink.h"
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

TabrixError MissingRowsError(const QString& table, long readable, long stored)
{
    return TabrixError(3049,
                       QStringLiteral("Tabelle %1: nur %2 von %3 Datensätzen lesbar, %4 Datensätze fehlen "
                                      "(die Access-Datenbank ist beschädigt).")
                           .arg(table)
                           .arg(readable)
                           .arg(stored)
                           .arg(stored - readable),
                       QStringLiteral("DAO.Recordset"));
}

TabrixError SkippedRowError(const QString& table, long number, const QString& why)
{
    return TabrixError(3049,
                       QStringLiteral("Tabelle %1: Datensatz %2 übersprungen: %3").arg(table).arg(number).arg(why),
                       QStringLiteral("DAO.Recordset"));
}

// The rows of the Access table as the copy reads them: counted, moved
// through, the rows a damaged file lacks or cannot give reported.
class RowSource {
public:
    RowSource(TableRun& run, dao::Recordset& rs) : m_run(run), m_rs(rs) {}

    // Whether there are rows to copy, as the engine sees them right after
    // opening (on the first row).
    bool hasRows()
    {
        long counted = 0;
        if (!m_run.step([&] { counted = m_rs.RecordCount(); }))
            return false;
        m_stored = m_rs.StoredRecordCount();
        if (counted <= 0) {
            if (m_stored > 0)
                reportMissing(0);
            return false;
        }
        m_total = counted;
        return true;
    }
    // Counts the rows to the last. A damaged file may hold fewer readable
    // rows than its table definition counts: the rows that can be read are
    // still copied, and the loss is reported.
    void countToTheEnd()
    {
        if (m_run.step([&] {
                m_rs.MoveLast();
                m_total = m_rs.RecordCount();
            })
            && m_total < m_stored)
            reportMissing(m_total);
    }
    long total() const { return m_total; }

    // The workstation boxes are disabled while a table converts: they are
    // read once, and a box that holds no number fails every row as before.
    void readShare()
    {
        try {
            m_count = ReadWorkstationNumber(m_run.host().workstationCount());
            m_number = ReadWorkstationNumber(m_run.host().workstationNumber());
        } catch (const TabrixError& e) {
            m_shareError = e;
        }
    }
    // Whether row n is this workstation's to copy.
    bool isCopied(long n)
    {
        if (m_shareError) {
            m_run.report(*m_shareError);
            return false;
        }
        try {
            if (RowIsCopied(n, m_count, m_number))
                return true;
            leaveOut(LeftOutRows::OtherWorkstations);
        } catch (const TabrixError& e) {
            m_run.report(e);
        }
        return false;
    }
    void leaveOut(LeftOutRows why, long rows = 1)
    {
        if (m_run.check && rows > 0)
            m_run.check->leaveOut(why, rows);
    }

    bool moveFirst()
    {
        if (!m_run.step([&] { m_rs.MoveFirst(); }))
            return false;
        reportSkipped(nullptr, 0, 0);
        return true;
    }
    // A row that cannot be reached ends the copy; what was read is on the
    // server (the rows gathered go first, so that the log keeps the order of
    // the rows).
    bool moveNext(RowSink& sink, long n, long skipped)
    {
        if (!m_run.step([&] {
                try {
                    m_rs.MoveNext();
                } catch (...) {
                    sink.flush(n, skipped);
                    throw;
                }
            }))
            return false;
        reportSkipped(&sink, n, skipped);
        return true;
    }

private:
    void reportMissing(long readable)
    {
        leaveOut(LeftOutRows::Damaged, m_stored - readable);
        m_run.report(MissingRowsError(m_run.table(), readable, m_stored));
    }
    // Rows the engine passed over (a damaged file): one line each, and the
    // table fails. The rows gathered before go first.
    void reportSkipped(RowSink* gathered, long n, long skipped)
    {
        const QList<dao::SkippedRow> rows = m_rs.TakeSkippedRows();
        if (!rows.isEmpty() && gathered)
            gathered->flush(n, skipped);
        leaveOut(LeftOutRows::Damaged, long(rows.size()));
        for (const dao::SkippedRow& row : rows)
            m_run.report(SkippedRowError(m_run.table(), row.number, row.text));
    }

    TableRun& m_run;
    dao::Recordset& m_rs;
    long m_stored = -1;
    long m_total = 0;
    double m_count = 0;
    double m_number = 0;
    std::optional<TabrixError> m_shareError;
};

// The Date/Time fields written with a time of day, and the date they take.
SpecialTimeFields specialTimeFields(TableRun& run, const dao::Recordset& rs, const TableFlags& flags)
{
    SpecialTimeFields special;
    if (flags.structureRan && flags.terminkalender)
        special.positions = {flags.zeitPosition, flags.zeit1Position};
    else if (flags.structureRan && flags.formularprotokoll)
        special.positions = {flags.uhrzeitPosition};
    if (!special.positions.isEmpty())
        run.step(
            [&] { special.dateBase = takeDateBase(rs, rs.Fields(), [&run](const TabrixError& e) { run.report(e); }); });
    return special;
}

}  // namespace

bool RunCopyLoop(TableRun& run, dao::Recordset& rs, const TableFlags& flags)
{
    ConversionHost& host = run.host();
    if (host.checkData())
        run.check.emplace(run.table(), TransferableFields(rs.Fields()), host.dialect());
    RowSource source(run, rs);
    if (!source.hasRows()) {
        run.rowsInFile = 0;
        return true;
    }
    // The special time fields take the date of the first row, read before moving on.
    const SpecialTimeFields special = specialTimeFields(run, rs, flags);
    if (run.check)
        run.check->setSpecialTimeFields(special);
    RowStatementBuilder builder(run.table(), rs.Fields(), host.dialect(), special);
    source.countToTheEnd();
    const long total = source.total();
    run.rowsInFile = total;

    host.progressStart(total);
    if (!source.moveFirst()) {
        host.progressStep(0);
        return true;
    }
    source.readShare();
    const std::unique_ptr<RowSink> sink = RowSink::ForTable(run, builder, total);
    long n = 0;
    long skipped = 0;
    long unreadable = 0;  // rows with a cell that could not be read
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
            if (source.isCopied(n)) {
                const RowAdded added = sink->add(rs, n, skipped);
                if (added == RowAdded::Empty) {
                    ++skipped;
                    source.leaveOut(LeftOutRows::WithoutValues);
                }
                if (added == RowAdded::LoginChanged) {
                    --n;
                    break;
                }
                if (added == RowAdded::Unreadable) {
                    ++unreadable;
                    source.leaveOut(LeftOutRows::Damaged);
                    run.report(SkippedRowError(run.table(), n, sink->unreadable().description()));
                }
            }
            if (!source.moveNext(*sink, n, skipped))
                break;
        }
        // Also after a stop: up to one statement's rows are sent after it.
        sink->flush(n, skipped);
        if (sink->unsentFrom() > 0) {
            n = sink->unsentFrom() - 1;
            reachedEnd = false;
        }
    } catch (const ConversionEnded& ended) {
        // The error rule has ended the table (the connection broke); the log says how far the copy came.
        run.rowsSent = sink->rowsSent();
        run.note(CopyCutShortText(run.table(), run.rowsSent, total, ended.reason));
        throw;
    }
    run.rowsSent = sink->rowsSent();
    if (reachedEnd && unreadable > 0)
        run.report(MissingRowsError(run.table(), total - unreadable, total));
    // A copy that stops before the table's last row leaves the server table
    // half-filled: that is never a converted table. The log counts the rows the server holds.
    if (!reachedEnd)
        run.report(TabrixError(3059, CopyCutShortText(run.table(), run.rowsSent, total, host.abortReason())));
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
