#include "conversion/DataTransfer.h"

#include "conversion/ColumnMapping.h"
#include "shell/ServerNames.h"

#include <QDateTime>

#include <charconv>
#include <cmath>

namespace {

const QString typeMismatch = QStringLiteral("Typen unverträglich");
constexpr long typeMismatchNumber = 13;

bool isNullCell(const QVariant& cell)
{
    return !cell.isValid() || cell.isNull();
}

void appendLatin1(QString& out, const char* begin, const char* end)
{
    out.append(QLatin1StringView(begin, end - begin));
}

template <typename Number>
void appendNumber(QString& out, Number value)
{
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    appendLatin1(out, buf, result.ptr);
}

void appendCurrency(QString& out, const dao::Currency& c)
{
    // Exact decimal of the scaled amount: up to four places, no trailing zeros.
    const bool negative = c.scaled < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(c.scaled) : quint64(c.scaled);
    char buf[40];
    char* p = buf;
    if (negative)
        *p++ = '-';
    p = std::to_chars(p, buf + sizeof buf, magnitude / 10000).ptr;
    unsigned fraction = unsigned(magnitude % 10000);
    if (fraction != 0) {
        char digits[4];
        for (int i = 3; i >= 0; --i) {
            digits[i] = char('0' + fraction % 10);
            fraction /= 10;
        }
        int len = 4;
        while (digits[len - 1] == '0')
            --len;
        *p++ = '.';
        for (int i = 0; i < len; ++i)
            *p++ = digits[i];
    }
    appendLatin1(out, buf, p);
}

bool isCurrency(const QVariant& v)
{
    return v.metaType() == QMetaType::fromType<dao::Currency>();
}

// Typed numbers straight into the statement, without a text in between.
bool appendTypedNumber(QString& out, const QVariant& cell)
{
    switch (cell.typeId()) {
    case QMetaType::Int:
        appendNumber(out, cell.toInt());
        return true;
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UChar:
        appendNumber(out, cell.toLongLong());
        return true;
    case QMetaType::Float:
        appendNumber(out, cell.toFloat());
        return true;
    case QMetaType::Double:
        appendNumber(out, cell.toDouble());
        return true;
    default:
        if (isCurrency(cell)) {
            appendCurrency(out, cell.value<dao::Currency>());
            return true;
        }
        return false;
    }
}

// The text of a value with apostrophes doubled and NUL characters blanked.
QString preparedText(const QVariant& cell, bool isNull, const QString& defaultText)
{
    QString v = isNull ? defaultText : ValueText(cell);
    if (v.contains(QLatin1Char('\'')))
        v.replace(QLatin1Char('\''), QLatin1String("''"));
    if (v.contains(QChar(u'\0')))
        v.replace(QChar(u'\0'), QLatin1Char(' '));
    return v;
}

// MySQL takes a NUL character in a text as CHAR(0): the literal is cut into
// pieces around each one and put together again with CONCAT.
void appendMySqlTextWithNul(QString& out, const QString& s)
{
    out += QLatin1String("CONCAT(");
    bool first = true;
    qsizetype from = 0;
    const auto piece = [&](qsizetype to) {
        if (to == from)
            return;
        if (!first)
            out += QLatin1Char(',');
        first = false;
        out += QLatin1Char('\'');
        for (qsizetype i = from; i < to; ++i) {
            if (s[i] == QLatin1Char('\''))
                out += QLatin1Char('\'');
            out += s[i];
        }
        out += QLatin1Char('\'');
    };
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != QChar(u'\0'))
            continue;
        piece(i);
        if (!first)
            out += QLatin1Char(',');
        first = false;
        out += QLatin1String("CHAR(0 USING utf8mb4)");
        from = i + 1;
    }
    piece(s.size());
    out += QLatin1Char(')');
}

// "'" + text + "'" with apostrophes doubled, NUL blanked and, on Sybase, the
// right single quotation mark removed; "''" for an empty text. On MySQL a NUL
// character is kept. Returns whether a NUL character was blanked.
bool appendTextLiteral(QString& out, const QString& s, Dialect dialect)
{
    if (dialect == Dialect::MySQL && s.contains(QChar(u'\0'))) {
        appendMySqlTextWithNul(out, s);
        return false;
    }
    const bool dropQuoteMark = dialect == Dialect::Sybase;
    bool blanked = false;
    out += QLatin1Char('\'');
    qsizetype plainFrom = 0;
    const QChar* data = s.constData();
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = data[i].unicode();
        if (c != u'\'' && c != u'\0' && !(dropQuoteMark && c == u'\u2019'))
            continue;
        out.append(data + plainFrom, i - plainFrom);
        if (c == u'\'')
            out += QLatin1String("''");
        else if (c == u'\0') {
            out += QLatin1Char(' ');
            blanked = true;
        }
        plainFrom = i + 1;
    }
    out.append(data + plainFrom, s.size() - plainFrom);
    out += QLatin1Char('\'');
    return blanked;
}

// Date defaults are texts as entered in Access: German or ISO form.
std::optional<QDateTime> parseDateText(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    static const char* const formats[] = {"d.M.yyyy H:mm:ss", "d.M.yyyy H:mm", "d.M.yyyy",
                                          "yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd"};
    for (const char* format : formats) {
        const QDateTime dt = QDateTime::fromString(t, QLatin1String(format));
        if (dt.isValid())
            return dt;
        const QDate d = QDate::fromString(t, QLatin1String(format));
        if (d.isValid())
            return QDateTime(d, QTime(0, 0));
    }
    return std::nullopt;
}

void appendTwoDigits(char*& p, int v)
{
    *p++ = char('0' + v / 10 % 10);
    *p++ = char('0' + v % 10);
}

void appendDateLiteral(QString& out, const QDate& date, const QTime& time, Dialect dialect, bool specialTime)
{
    char buf[48];
    char* p = buf;
    // Years below 1000 keep four digits; the server would read "201" as an error or as 2001.
    const int year = date.year();
    const auto ymd = [&](const char* sep) {
        *p++ = char('0' + year / 1000 % 10);
        *p++ = char('0' + year / 100 % 10);
        appendTwoDigits(p, year % 100);
        if (sep)
            *p++ = *sep;
        appendTwoDigits(p, date.month());
        if (sep)
            *p++ = *sep;
        appendTwoDigits(p, date.day());
    };
    const auto hms = [&](char sep) {
        appendTwoDigits(p, time.hour());
        *p++ = sep;
        appendTwoDigits(p, time.minute());
        *p++ = sep;
        appendTwoDigits(p, time.second());
    };
    const auto text = [&](const char* s) {
        while (*s)
            *p++ = *s++;
    };
    // An ordinary value keeps its time of day unless it is midnight; a
    // midnight value is written in the date-only form the servers always got.
    const bool withTime = specialTime || (time.isValid() && (time.hour() | time.minute() | time.second()) != 0);
    switch (dialect) {
    case Dialect::Oracle:
        text("TIMESTAMP'");
        ymd("-");
        *p++ = ' ';
        if (withTime)
            hms(':');
        else
            text("00:00:00");
        break;
    case Dialect::DB2:
        *p++ = '\'';
        ymd("-");
        *p++ = '-';
        if (withTime)
            hms('.');
        else
            text("00.00.00");
        break;
    case Dialect::MSSQL:
        *p++ = '\'';
        ymd(nullptr);
        if (withTime) {
            *p++ = ' ';
            hms(':');
        }
        break;
    case Dialect::Sybase:
        *p++ = '\'';
        ymd(specialTime ? "-" : nullptr);
        if (withTime) {
            *p++ = ' ';
            hms(':');
        }
        break;
    case Dialect::MySQL:
        *p++ = '\'';
        ymd(withTime ? "-" : nullptr);
        if (withTime) {
            *p++ = ' ';
            hms(':');
        }
        break;
    }
    *p++ = '\'';
    appendLatin1(out, buf, p);
}

void appendBinaryLiteral(QString& out, const QByteArray& bytes, Dialect dialect)
{
    static const char hex[] = "0123456789ABCDEF";
    const char* open = "0x";
    const char* close = "";
    switch (dialect) {
    case Dialect::MSSQL:
    case Dialect::Sybase:
        break;
    case Dialect::MySQL:
        open = "X'";
        close = "'";
        break;
    case Dialect::Oracle:
        open = "HEXTORAW('";
        close = "')";
        break;
    case Dialect::DB2:
        open = "BLOB(X'";
        close = "')";
        break;
    }
    out += QLatin1StringView(open);
    const qsizetype start = out.size();
    out.resize(start + 2 * bytes.size());
    QChar* p = out.data() + start;
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *p++ = QLatin1Char(hex[u >> 4]);
        *p++ = QLatin1Char(hex[u & 0xF]);
    }
    out += QLatin1StringView(close);
}

// A half of a UTF-16 surrogate pair without its other half: the file holds
// bytes that are no text (an OLE object retyped as Memo, a damaged page).
bool hasLoneSurrogate(const QString& s)
{
    const QChar* data = s.constData();
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = data[i].unicode();
        if ((c & 0xF800) != 0xD800)
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(data[i + 1].unicode())) {
            ++i;
            continue;
        }
        return true;
    }
    return false;
}

QString replaceLoneSurrogates(const QString& s)
{
    QString out;
    out.reserve(s.size());
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s[i];
        if (c.isHighSurrogate() && i + 1 < n && s[i + 1].isLowSurrogate()) {
            out += c;
            out += s[++i];
        } else if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
        } else {
            out += c;
        }
    }
    return out;
}

void raise(const RenderErrorSink& onError, const TabrixError& error)
{
    if (onError)
        onError(error);
}

// Returns whether a NUL character of a text had to be blanked.
bool appendValue(QString& out, const dao::Field& field, const QVariant& cell, bool isNull,
                 const QString& defaultText, Dialect dialect, bool specialTime,
                 const std::optional<QDate>& dateBase, const RenderErrorSink& onError)
{
    switch (field.Type) {
    case dao::dbBoolean:
        if (!isNull && cell.typeId() == QMetaType::Bool)
            out += cell.toBool() ? QLatin1Char('1') : QLatin1Char('0');
        else
            out += preparedText(cell, isNull, defaultText) == QLatin1String("TRUE") ? QLatin1Char('1')
                                                                                     : QLatin1Char('0');
        return false;
    case dao::dbByte:
    case dao::dbInteger:
    case dao::dbLong:
    case dao::dbCurrency:
    case dao::dbSingle:
    case dao::dbDouble: {
        if (!isNull && appendTypedNumber(out, cell))
            return false;
        QString v = preparedText(cell, isNull, defaultText);
        if (v.isEmpty())
            out += QLatin1String("NULL");
        else
            out += v.replace(QLatin1Char(','), QLatin1Char('.'));
        return false;
    }
    case dao::dbDate: {
        std::optional<QDateTime> dt;
        QString v;
        if (!isNull && cell.typeId() == QMetaType::QDateTime) {
            dt = cell.toDateTime();
        } else {
            v = preparedText(cell, isNull, defaultText);
            if (v.isEmpty()) {
                out += QLatin1String("NULL");
                return false;
            }
            dt = parseDateText(v);
        }
        if (!dt) {
            raise(onError, TabrixError(typeMismatchNumber, typeMismatch));
            out += v;
            return false;
        }
        const QDate date = specialTime && dateBase ? *dateBase : dt->date();
        appendDateLiteral(out, date, dt->time(), dialect, specialTime);
        return false;
    }
    case dao::dbBinary:
    case dao::dbLongBinary:
        if (!isNull && cell.typeId() == QMetaType::QByteArray)
            appendBinaryLiteral(out, cell.toByteArray(), dialect);
        else
            out += preparedText(cell, isNull, defaultText);
        return false;
    case dao::dbGUID:
        // Its braced text is no literal of any server: written like a text.
    case dao::dbText:
    case dao::dbMemo: {
        QString s = isNull ? defaultText : ValueText(cell);
        if (hasLoneSurrogate(s)) {
            // No server text can hold it: the rest of the row still arrives,
            // and the loss is reported.
            raise(onError, TabrixError(typeMismatchNumber,
                                       QStringLiteral("Feld %1: der Text enthält ungültige Zeichen (einzelne "
                                                      "UTF-16-Ersatzzeichen); sie wurden durch \uFFFD ersetzt.")
                                           .arg(field.Name)));
            s = replaceLoneSurrogates(s);
        }
        if (s.isEmpty())
            out += QLatin1String("''");
        else
            return appendTextLiteral(out, s, dialect);
        return false;
    }
    default:
        out += preparedText(cell, isNull, defaultText);
        return false;
    }
}

}  // namespace

bool RowIsCopied(long n, double count, double number)
{
    // Whole-number remainder as the workstation boxes are meant: count 3 gives 1, 2, 0, 1 ...
    const long long whole = static_cast<long long>(std::nearbyint(count));
    if (whole == 0)
        throw TabrixError(11, QStringLiteral("Division durch Null"));
    return count - number == static_cast<double>(n % whole);
}

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
        throw TabrixError(typeMismatchNumber, typeMismatch);
    return v;
}

QString ValueText(const QVariant& value)
{
    if (isNullCell(value))
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray());
    default: {
        QString out;
        if (appendTypedNumber(out, value))
            return out;
        return value.toString();
    }
    }
}

QString DateLiteral(const QDate& date, const QTime& time, Dialect dialect, bool specialTime)
{
    QString out;
    appendDateLiteral(out, date, time, dialect, specialTime);
    return out;
}

QString BinaryLiteral(const QByteArray& bytes, Dialect dialect)
{
    QString out;
    appendBinaryLiteral(out, bytes, dialect);
    return out;
}

QString RenderValue(const dao::Field& field, const QVariant& cell, const QString& defaultText, Dialect dialect,
                    bool specialTime, const std::optional<QDate>& dateBase, const RenderErrorSink& onError)
{
    QString out;
    appendValue(out, field, cell, isNullCell(cell), defaultText, dialect, specialTime, dateBase, onError);
    return out;
}

RowStatementBuilder::RowStatementBuilder(const QString& table, const QList<dao::Field>& fields, Dialect dialect,
                                         SpecialTimeFields special)
    : m_table(table)
    , m_fields(fields)
    , m_dialect(dialect)
    , m_special(std::move(special))
{
    writeNames();
}

template <typename ValueAt, typename Options>
QString RowStatementBuilder::build(const ValueAt& valueAt, const Options& readOptions, const RenderErrorSink& onError)
{
    QString statement;
    buildInto(statement, valueAt, readOptions, onError);
    return statement;
}

template <typename ValueAt, typename Options>
void RowStatementBuilder::buildInto(QString& statement, const ValueAt& valueAt, const Options& readOptions,
                                    const RenderErrorSink& onError)
{
    statement.resize(0);
    // The cells first: which of them the statement holds decides its column
    // list, which is the same for most rows and then written only once.
    const qsizetype n = m_fields.size();
    std::optional<ConversionOptions> options;
    bool sameColumns = m_prefixValid;
    bool any = false;
    for (qsizetype i = 0; i < n; ++i) {
        Cell& c = m_cells[i];
        c.value = valueAt(int(i));
        c.isNull = isNullCell(c.value);
        c.defaultText.resize(0);
        if (c.isNull) {
            if (!options)
                options = readOptions();
            c.defaultText = SQLDefault(m_fields[i], false, *options);
        }
        const bool included = !c.isNull || !c.defaultText.isEmpty();
        if (included != c.included) {
            c.included = included;
            sameColumns = false;
        }
        any = any || included;
    }
    if (!any)
        return;
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

    statement.reserve(m_prefix.size() + 256);
    statement += m_prefix;
    QLatin1Char separator('(');
    for (qsizetype i = 0; i < n; ++i) {
        const Cell& c = m_cells[i];
        if (!c.included)
            continue;
        statement += separator;
        const dao::Field& field = m_fields[i];
        const bool special = field.Type == dao::dbDate && m_special.contains(int(i));
        if (appendValue(statement, field, c.value, c.isNull, c.defaultText, m_dialect, special, m_special.dateBase,
                        onError))
            m_nulBlanked = true;
        separator = QLatin1Char(',');
    }
    statement += QLatin1Char(')');
}

void RowStatementBuilder::InsertStatement(QString& statement, const dao::Recordset& rs,
                                          const std::function<ConversionOptions()>& options,
                                          const RenderErrorSink& onError)
{
    buildInto(statement, [&](int i) { return rs.Value(i); }, options, onError);
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
    m_head = QStringLiteral("INSERT INTO ") + PlainOrQuotedName(m_table, m_dialect) + QLatin1Char(' ');
    m_names.clear();
    m_names.reserve(m_fields.size());
    for (const dao::Field& f : m_fields)
        m_names.append(ShortenColumnNames(WrittenColumnName(f.Name, m_table, m_dialect)));
}

QString RowStatementBuilder::InsertStatement(const QList<QVariant>& row, const ConversionOptions& options,
                                             const RenderErrorSink& onError)
{
    return build([&](int i) { return i < row.size() ? row[i] : QVariant(); }, [&] { return options; }, onError);
}

QString RowStatementBuilder::InsertStatement(const dao::Recordset& rs, const ConversionOptions& options,
                                             const RenderErrorSink& onError)
{
    return build([&](int i) { return rs.Value(i); }, [&] { return options; }, onError);
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
    const QVariant v = rs.Value(datum);
    if (isNullCell(v)) {
        report(TabrixError(94, QStringLiteral("Unzulässige Verwendung von Null")));
        return std::nullopt;
    }
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    if (const auto parsed = parseDateText(ValueText(v)))
        return parsed->date();
    report(TabrixError(typeMismatchNumber, typeMismatch));
    return std::nullopt;
}

}  // namespace

namespace {

// Runs a step of the Access engine under the conversion's error handler;
// false when it failed (the handler has logged it and marked the table).
template <typename Step>
bool engineStep(ConversionHost& host, const Step& step)
{
    bool done = false;
    host.step([&] {
        step();
        done = true;
    });
    return done;
}

}  // namespace

void RunCopyLoop(ConversionHost& host, dao::Recordset& rs, const TableFlags& flags)
{
    // Rows the engine sees right after opening, and what the table definition counts.
    long counted = 0;
    if (!engineStep(host, [&] { counted = rs.RecordCount(); }))
        return;
    const long stored = rs.StoredRecordCount();
    const auto reportMissing = [&host, stored](long readable) {
        const QString table = host.tableName();
        host.step([&] {
            throw TabrixError(3049,
                              QStringLiteral("Tabelle %1: nur %2 von %3 Datensätzen lesbar, %4 Datensätze fehlen "
                                             "(die Access-Datenbank ist beschädigt).")
                                  .arg(table)
                                  .arg(readable)
                                  .arg(stored)
                                  .arg(stored - readable),
                              QStringLiteral("DAO.Recordset"));
        });
    };
    if (counted <= 0) {
        if (stored > 0)
            reportMissing(0);
        return;
    }

    // Errors go through the conversion's handler, which logs them and lets the copy go on.
    const RenderErrorSink report = [&host](const TabrixError& e) { host.step([&e] { throw e; }); };

    const QList<dao::Field> fields = rs.Fields();
    SpecialTimeFields special;
    if (flags.structureRan && flags.terminkalender)
        special.positions = {flags.zeitPosition, flags.zeit1Position};
    else if (flags.structureRan && flags.formularprotokoll)
        special.positions = {flags.uhrzeitPosition};
    if (!special.positions.isEmpty())
        engineStep(host, [&] { special.dateBase = takeDateBase(rs, fields, report); });

    RowStatementBuilder builder(host.tableName(), fields, host.dialect(), special);

    // A damaged file may hold fewer readable rows than its table definition
    // counts; the rows that can be read are still copied, and the loss is reported.
    long total = counted;
    if (engineStep(host, [&] {
            rs.MoveLast();
            total = rs.RecordCount();
        })
        && total < stored)
        reportMissing(total);
    host.progressStart(total);
    long n = 0;
    if (!engineStep(host, [&] { rs.MoveFirst(); })) {
        host.progressStep(0);
        return;
    }
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
    // One buffer for every row's statement.
    QString statement;
    while (!rs.Eof() && !host.abortRequested()) {
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
        if (copy && engineStep(host, [&] {
                builder.setDialect(host.dialect());
                builder.InsertStatement(statement, rs, readOptions, report);
            })) {
            if (statement.isEmpty())
                ++skipped;
            else
                host.step([&] { host.executeSql(statement); });
        }
        // A row that cannot be reached ends the copy; what was read is on the server.
        if (!engineStep(host, [&] { rs.MoveNext(); }))
            break;
    }
    host.progressStep(0);
    if (builder.nulBlanked())
        host.logNote(QStringLiteral("Tabelle %1: NUL-Zeichen in Texten wurden als Leerzeichen übertragen "
                                    "(dieser SQL-Server-Dialekt erhält sie nicht).")
                         .arg(host.tableName()));
}
