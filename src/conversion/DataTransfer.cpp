#include "conversion/DataTransfer.h"

#include "conversion/ColumnMapping.h"
#include "sql/ServerNames.h"

#include <QDateTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

const QString typeMismatch = QStringLiteral("Typen unverträglich");
constexpr long typeMismatchNumber = 13;

using dao::CellValue;

// Appends to a QString through a pointer: a statement is put together from
// many small pieces for every row, and each would otherwise be a library call.
// The string is made longer by `expected` characters (at least 64) while
// writing and cut to the written length when the writer goes; a buffer reused
// from row to row keeps its memory.
class Writer {
public:
    explicit Writer(QString& text, qsizetype expected = 0)
        : m_text(text)
        , m_size(text.size())
    {
        m_text.resize(m_size + std::max<qsizetype>(expected, 64));
        m_data = m_text.data();
        m_capacity = m_text.size();
    }
    ~Writer() { m_text.resize(m_size); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Room for n characters at the end, written by the caller.
    QChar* room(qsizetype n)
    {
        if (m_size + n > m_capacity)
            grow(m_size + n);
        QChar* p = m_data + m_size;
        m_size += n;
        return p;
    }
    Writer& operator+=(QChar c)
    {
        *room(1) = c;
        return *this;
    }
    Writer& operator+=(QLatin1Char c) { return *this += QChar(c); }
    Writer& operator+=(QLatin1StringView latin1)
    {
        const char* from = latin1.data();
        QChar* to = room(latin1.size());
        for (qsizetype i = 0; i < latin1.size(); ++i)
            to[i] = QLatin1Char(from[i]);
        return *this;
    }
    Writer& operator+=(const QString& text)
    {
        append(text.constData(), text.size());
        return *this;
    }
    void append(const QChar* from, qsizetype n)
    {
        if (n > 0)
            std::memcpy(room(n), from, size_t(n) * sizeof(QChar));
    }

private:
    void grow(qsizetype needed)
    {
        m_text.resize(std::max(needed, 2 * m_capacity));
        m_data = m_text.data();
        m_capacity = m_text.size();
    }

    QString& m_text;
    qsizetype m_size;
    QChar* m_data = nullptr;
    qsizetype m_capacity = 0;
};

// The text that `write` puts into a writer.
template <typename Write>
QString written(const Write& write)
{
    QString text;
    {
        Writer out(text);
        write(out);
    }
    return text;
}

void appendLatin1(Writer& out, const char* begin, const char* end)
{
    out += QLatin1StringView(begin, end - begin);
}

template <typename Number>
void appendNumber(Writer& out, Number value)
{
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    appendLatin1(out, buf, result.ptr);
}

void appendNumber(Writer& out, double value)
{
    char buf[64];
    appendLatin1(out, buf, WriteDouble(buf, value));
}

void appendCurrency(Writer& out, const dao::Currency& c)
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

// Typed numbers straight into the statement, without a text in between.
bool appendTypedNumber(Writer& out, const CellValue& cell)
{
    switch (cell.kind) {
    case CellValue::Whole:
        appendNumber(out, cell.whole);
        return true;
    case CellValue::Single:
        appendNumber(out, float(cell.real));
        return true;
    case CellValue::Double:
        appendNumber(out, cell.real);
        return true;
    case CellValue::Money:
        appendCurrency(out, dao::Currency{cell.whole});
        return true;
    default:
        return false;
    }
}

// The text of a cell before rendering: "TRUE"/"FALSE", decimal numbers with
// '.', dates as "dd.MM.yyyy HH:mm:ss", texts as they are.
QString cellText(const CellValue& cell)
{
    switch (cell.kind) {
    case CellValue::Null:
        return {};
    case CellValue::Boolean:
        return cell.whole ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case CellValue::DateTime:
        return QDateTime(cell.date.toDate(), cell.date.toTime()).toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    case CellValue::Text:
        return cell.text;
    case CellValue::Other:
        if (cell.variant.typeId() == QMetaType::QByteArray)
            return QString::fromLatin1(cell.variant.toByteArray());
        return cell.variant.toString();
    default:
        return written([&](Writer& out) { appendTypedNumber(out, cell); });
    }
}

// The text of a value with apostrophes doubled and NUL characters blanked.
QString preparedText(const CellValue& cell, const QString& defaultText)
{
    QString v = cell.isNull() ? defaultText : cellText(cell);
    if (v.contains(QLatin1Char('\'')))
        v.replace(QLatin1Char('\''), QLatin1String("''"));
    if (v.contains(QChar(u'\0')))
        v.replace(QChar(u'\0'), QLatin1Char(' '));
    return v;
}

// Whether a text can go between apostrophes as it is: no apostrophe, no NUL,
// no half of a surrogate pair and, on Sybase, no right single quotation mark.
bool isPlainText(const QString& s, Dialect dialect)
{
    const char16_t* p = reinterpret_cast<const char16_t*>(s.constData());
    const char16_t* end = p + s.size();
    const bool sybase = dialect == Dialect::Sybase;
    for (; p != end; ++p) {
        const char16_t c = *p;
        if (c == u'\'' || c == u'\0' || (c & 0xF800) == 0xD800 || (sybase && c == u'\u2019'))
            return false;
    }
    return true;
}

// MySQL takes a NUL character in a text as CHAR(0): the literal is cut into
// pieces around each one and put together again with CONCAT.
void appendMySqlTextWithNul(Writer& out, const QString& s)
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
bool appendTextLiteral(Writer& out, const QString& s, Dialect dialect)
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

void appendDateLiteral(Writer& out, const dao::DateParts& when, Dialect dialect, bool specialTime)
{
    char buf[48];
    char* p = buf;
    // Years below 1000 keep four digits; the server would read "201" as an error or as 2001.
    const int year = when.year;
    const auto ymd = [&](const char* sep) {
        *p++ = char('0' + year / 1000 % 10);
        *p++ = char('0' + year / 100 % 10);
        appendTwoDigits(p, year % 100);
        if (sep)
            *p++ = *sep;
        appendTwoDigits(p, when.month);
        if (sep)
            *p++ = *sep;
        appendTwoDigits(p, when.day);
    };
    const auto hms = [&](char sep) {
        appendTwoDigits(p, when.hour);
        *p++ = sep;
        appendTwoDigits(p, when.minute);
        *p++ = sep;
        appendTwoDigits(p, when.second);
    };
    const auto text = [&](const char* s) {
        while (*s)
            *p++ = *s++;
    };
    // An ordinary value keeps its time of day unless it is midnight; a
    // midnight value is written in the date-only form the servers always got.
    const bool withTime = specialTime || (when.timeValid && (when.hour | when.minute | when.second) != 0);
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

void appendBinaryLiteral(Writer& out, const QByteArray& bytes, Dialect dialect)
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
    QChar* p = out.room(2 * bytes.size());
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
bool appendValue(Writer& out, const dao::Field& field, const CellValue& cell, const QString& defaultText,
                 Dialect dialect, bool specialTime, const std::optional<QDate>& dateBase,
                 const RenderErrorSink& onError)
{
    const bool isNull = cell.isNull();
    switch (field.Type) {
    case dao::dbBoolean:
        if (cell.kind == CellValue::Boolean)
            out += cell.whole ? QLatin1Char('1') : QLatin1Char('0');
        else
            out += preparedText(cell, defaultText) == QLatin1String("TRUE") ? QLatin1Char('1') : QLatin1Char('0');
        return false;
    case dao::dbByte:
    case dao::dbInteger:
    case dao::dbLong:
    case dao::dbCurrency:
    case dao::dbSingle:
    case dao::dbDouble: {
        if (appendTypedNumber(out, cell))
            return false;
        QString v = preparedText(cell, defaultText);
        if (v.isEmpty())
            out += QLatin1String("NULL");
        else
            out += v.replace(QLatin1Char(','), QLatin1Char('.'));
        return false;
    }
    case dao::dbDate: {
        dao::DateParts when;
        if (cell.kind == CellValue::DateTime) {
            when = cell.date;
        } else {
            const QString v = preparedText(cell, defaultText);
            if (v.isEmpty()) {
                out += QLatin1String("NULL");
                return false;
            }
            const std::optional<QDateTime> dt = parseDateText(v);
            if (!dt) {
                raise(onError, TabrixError(typeMismatchNumber, typeMismatch));
                out += v;
                return false;
            }
            when = dao::DateParts::of(dt->date(), dt->time());
        }
        if (specialTime && dateBase)
            dateBase->getDate(&when.year, &when.month, &when.day);
        appendDateLiteral(out, when, dialect, specialTime);
        return false;
    }
    case dao::dbBinary:
    case dao::dbLongBinary:
        if (cell.kind == CellValue::Other && cell.variant.typeId() == QMetaType::QByteArray)
            appendBinaryLiteral(out, cell.variant.toByteArray(), dialect);
        else
            out += preparedText(cell, defaultText);
        return false;
    case dao::dbGUID:
        // Its braced text is no literal of any server: written like a text.
    case dao::dbText:
    case dao::dbMemo: {
        QString converted;
        const QString* text = &defaultText;
        if (cell.kind == CellValue::Text)
            text = &cell.text;
        else if (!isNull)
            text = &(converted = cellText(cell));
        if (text->isEmpty()) {
            out += QLatin1String("''");
            return false;
        }
        if (isPlainText(*text, dialect)) {
            out += QLatin1Char('\'');
            out += *text;
            out += QLatin1Char('\'');
            return false;
        }
        QString s = *text;
        if (hasLoneSurrogate(s)) {
            // No server text can hold it: the rest of the row still arrives,
            // and the loss is reported.
            raise(onError, TabrixError(typeMismatchNumber,
                                       QStringLiteral("Feld %1: der Text enthält ungültige Zeichen (einzelne "
                                                      "UTF-16-Ersatzzeichen); sie wurden durch \uFFFD ersetzt.")
                                           .arg(field.Name)));
            s = replaceLoneSurrogates(s);
        }
        return appendTextLiteral(out, s, dialect);
    }
    default:
        out += preparedText(cell, defaultText);
        return false;
    }
}

}  // namespace

char* WriteDouble(char* out, double value)
{
    // Amounts and quantities: at least 1 in magnitude, at most four places,
    // fifteen digits. Such a value is m / 10^k for the smallest k at which the
    // quotient, correctly rounded, is the value itself; with fifteen digits or
    // fewer no other decimal of as few digits reads back to the same double,
    // so m with its point is the shortest text. std::to_chars writes it in
    // fixed form unless the exponent form is shorter (many trailing zeros).
    static constexpr double scales[] = {1.0, 10.0, 100.0, 1000.0, 10000.0};
    const double magnitude = std::fabs(value);
    if (magnitude >= 1.0 && magnitude < 1e15) {
        for (int k = 0; k < 5; ++k) {
            const double scaled = magnitude * scales[k];
            if (scaled >= 1e15)
                break;
            const auto m = static_cast<unsigned long long>(std::llround(scaled));
            if (static_cast<double>(m) / scales[k] != magnitude)
                continue;
            char digits[24];
            int count = 0;
            for (unsigned long long rest = m; rest != 0; rest /= 10)
                digits[count++] = char('0' + rest % 10);  // least significant first
            if (k == 0) {
                int zeros = 0;
                while (digits[zeros] == '0')
                    ++zeros;
                const int significant = count - zeros;
                const int exponentLength = significant + (significant > 1 ? 1 : 0) + 4;  // "d.ddde+XX"
                if (count > exponentLength)
                    break;
            }
            if (value < 0)
                *out++ = '-';
            for (int i = count - 1; i >= 0; --i) {
                if (i == k - 1)
                    *out++ = '.';
                *out++ = digits[i];
            }
            return out;
        }
    }
    return std::to_chars(out, out + 32, value).ptr;
}

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

QString DateLiteral(const QDate& date, const QTime& time, Dialect dialect, bool specialTime)
{
    return written([&](Writer& out) { appendDateLiteral(out, dao::DateParts::of(date, time), dialect, specialTime); });
}

QString BinaryLiteral(const QByteArray& bytes, Dialect dialect)
{
    return written([&](Writer& out) { appendBinaryLiteral(out, bytes, dialect); });
}

QString RenderValue(const dao::Field& field, const QVariant& cell, const QString& defaultText, Dialect dialect,
                    bool specialTime, const std::optional<QDate>& dateBase, const RenderErrorSink& onError)
{
    CellValue value;
    value.assign(cell);
    return written(
        [&](Writer& out) { appendValue(out, field, value, defaultText, dialect, specialTime, dateBase, onError); });
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

template <typename ReadCell, typename Options>
void RowStatementBuilder::buildInto(QString& statement, const ReadCell& readCell, const Options& readOptions,
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
        readCell(int(i), c.value);
        if (!c.defaultText.isEmpty())
            c.defaultText.clear();
        const bool isNull = c.value.isNull();
        if (isNull) {
            if (!options)
                options = readOptions();
            c.defaultText = SQLDefault(m_fields[i], false, *options);
        }
        const bool included = !isNull || !c.defaultText.isEmpty();
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

    {
        Writer out(statement, m_longestStatement);
        out += m_prefix;
        QLatin1Char separator('(');
        for (qsizetype i = 0; i < n; ++i) {
            const Cell& c = m_cells[i];
            if (!c.included)
                continue;
            out += separator;
            const dao::Field& field = m_fields[i];
            const bool special = field.Type == dao::dbDate && m_special.contains(int(i));
            if (appendValue(out, field, c.value, c.defaultText, m_dialect, special, m_special.dateBase, onError))
                m_nulBlanked = true;
            separator = QLatin1Char(',');
        }
        out += QLatin1Char(')');
    }
    m_longestStatement = std::max(m_longestStatement, statement.size());
}

void RowStatementBuilder::InsertStatement(QString& statement, const dao::Recordset& rs,
                                          const std::function<ConversionOptions()>& options,
                                          const RenderErrorSink& onError)
{
    buildInto(statement, [&](int i, CellValue& cell) { rs.ReadCell(i, cell); }, options, onError);
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
    QString statement;
    buildInto(
        statement, [&](int i, CellValue& cell) { cell.assign(i < row.size() ? row[i] : QVariant()); },
        [&] { return options; }, onError);
    return statement;
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
    if (const auto parsed = parseDateText(cellText(v)))
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
