#include "sql/Literals.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

const QString typeMismatch = QStringLiteral("Typen unverträglich");
constexpr long typeMismatchNumber = 13;

using dao::CellValue;

void appendLatin1(StatementBuffer& out, const char* begin, const char* end)
{
    out += QLatin1StringView(begin, end - begin);
}

template <typename Number>
void appendNumber(StatementBuffer& out, Number value)
{
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    appendLatin1(out, buf, result.ptr);
}

void appendNumber(StatementBuffer& out, double value)
{
    char buf[64];
    appendLatin1(out, buf, WriteDouble(buf, value));
}

void appendCurrency(StatementBuffer& out, const dao::Currency& c)
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
bool appendTypedNumber(StatementBuffer& out, const CellValue& cell)
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
        return written([&](StatementBuffer& out) { appendTypedNumber(out, cell); });
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
void appendMySqlTextWithNul(StatementBuffer& out, const QString& s)
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
bool appendTextLiteral(StatementBuffer& out, const QString& s, Dialect dialect)
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
    static const char* const formats[] = {"d.M.yyyy H:mm:ss",    "d.M.yyyy H:mm",       "d.M.yyyy",
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

void appendDateLiteral(StatementBuffer& out, const dao::DateParts& when, Dialect dialect, bool specialTime)
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

void appendBinaryLiteral(StatementBuffer& out, const QByteArray& bytes, Dialect dialect)
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

// The text as a server can hold it. A lone surrogate half fits no server
// text: it becomes U+FFFD, the rest of the row still arrives, and the loss is reported.
QString sendableText(const QString& text, const dao::Field& field, const RenderErrorSink& onError)
{
    if (!hasLoneSurrogate(text))
        return text;
    raise(onError,
          TabrixError(typeMismatchNumber,
                      QStringLiteral("Feld %1: der Text enthält ungültige Zeichen (einzelne "
                                     "UTF-16-Ersatzzeichen); sie wurden durch \uFFFD ersetzt.")
                          .arg(field.Name)));
    return replaceLoneSurrogates(text);
}

// Returns whether a NUL character of a text had to be blanked.
// The date a Date/Time cell stands for, a special time field's on the date
// base. None for an empty cell (`text` empty) and for a text no date reads
// from (`text` holds it).
std::optional<dao::DateParts> cellDate(const CellValue& cell, const QString& defaultText, bool specialTime,
                                       const std::optional<QDate>& dateBase, QString& text)
{
    dao::DateParts when;
    if (cell.kind == CellValue::DateTime) {
        when = cell.date;
    } else {
        text = preparedText(cell, defaultText);
        const std::optional<QDateTime> dt = text.isEmpty() ? std::nullopt : parseDateText(text);
        if (!dt)
            return std::nullopt;
        when = dao::DateParts::of(dt->date(), dt->time());
    }
    if (specialTime && dateBase)
        dateBase->getDate(&when.year, &when.month, &when.day);
    return when;
}

bool appendValue(StatementBuffer& out, const dao::Field& field, const CellValue& cell, const QString& defaultText,
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
        QString text;
        const std::optional<dao::DateParts> when = cellDate(cell, defaultText, specialTime, dateBase, text);
        if (!when && text.isEmpty()) {
            out += QLatin1String("NULL");
            return false;
        }
        if (!when) {
            raise(onError, TabrixError(typeMismatchNumber, typeMismatch));
            out += text;
            return false;
        }
        appendDateLiteral(out, *when, dialect, specialTime);
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
        return appendTextLiteral(out, sendableText(*text, field, onError), dialect);
    }
    default:
        out += preparedText(cell, defaultText);
        return false;
    }
}

// "-12", "3.25": the number texts a parameter can carry as the literal reads.
bool isNumberText(const QString& s, bool wholeOnly)
{
    qsizetype i = s.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype digitsFrom = i;
    while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128)
        ++i;
    if (i == digitsFrom)
        return false;
    if (i == s.size())
        return true;
    if (wholeOnly || s[i] != QLatin1Char('.') || i + 1 == s.size())
        return false;
    for (++i; i < s.size(); ++i)
        if (!s[i].isDigit() || s[i].unicode() >= 128)
            return false;
    return true;
}

// The double the server reads from a literal of these digits ("1.5", "1e-05").
std::optional<double> readDouble(const QString& digits)
{
    const QByteArray latin = digits.toLatin1();
    double value = 0;
    const char* end = latin.constData() + latin.size();
    const auto result = std::from_chars(latin.constData(), end, value);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)
        || !(latin[0] == '-' || (latin[0] >= '0' && latin[0] <= '9')))
        return std::nullopt;
    return value;
}

std::optional<ParameterValue> numberParameter(ParameterType type, const CellValue& cell, const QString& defaultText)
{
    QString text;
    switch (cell.kind) {
    case CellValue::Whole:
        if (type == ParameterType::Whole)
            return ParameterValue::Whole(cell.whole);
        text = QString::number(cell.whole);
        break;
    case CellValue::Double:
        if (type == ParameterType::Double && std::isfinite(cell.real))
            return ParameterValue::Double(cell.real);
        [[fallthrough]];
    case CellValue::Single:
    case CellValue::Money:
        text = written([&](StatementBuffer& out) { appendTypedNumber(out, cell); });
        break;
    default:
        text = preparedText(cell, defaultText);
        if (text.isEmpty())
            return ParameterValue::Null(type);
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    // The server reads a Single's or Currency's literal from its digits.
    if (type == ParameterType::Double) {
        const std::optional<double> value = readDouble(text);
        return value ? std::optional(ParameterValue::Double(*value)) : std::nullopt;
    }
    if (!isNumberText(text, type == ParameterType::Whole))
        return std::nullopt;
    if (type == ParameterType::Whole) {
        bool ok = false;
        const qint64 whole = text.toLongLong(&ok);
        return ok ? std::optional(ParameterValue::Whole(whole)) : std::nullopt;
    }
    return ParameterValue::Decimal(text);
}

}  // namespace

ParameterType ParameterTypeOf(const dao::Field& field)
{
    switch (field.Type) {
    case dao::dbBoolean:
    case dao::dbByte:
    case dao::dbInteger:
    case dao::dbLong:
        return ParameterType::Whole;
    case dao::dbSingle:
    case dao::dbDouble:
        return ParameterType::Double;
    case dao::dbDate:
        return ParameterType::Timestamp;
    case dao::dbBinary:
    case dao::dbLongBinary:
        return ParameterType::Binary;
    case dao::dbGUID:
    case dao::dbText:
    case dao::dbMemo:
        return ParameterType::Text;
    default:
        // Currency, Decimal and the rest: exact digits.
        return ParameterType::Decimal;
    }
}

std::optional<ParameterValue> CellParameter(const dao::Field& field, const CellValue& cell, const QString& defaultText,
                                            Dialect dialect, bool specialTime, const std::optional<QDate>& dateBase,
                                            const RenderErrorSink& onError, bool& nulBlanked)
{
    const ParameterType type = ParameterTypeOf(field);
    switch (field.Type) {
    case dao::dbBoolean:
        if (cell.kind == CellValue::Boolean)
            return ParameterValue::Whole(cell.whole ? 1 : 0);
        return ParameterValue::Whole(preparedText(cell, defaultText) == QLatin1String("TRUE") ? 1 : 0);
    case dao::dbDate: {
        QString text;
        std::optional<dao::DateParts> found = cellDate(cell, defaultText, specialTime, dateBase, text);
        if (!found && text.isEmpty())
            return ParameterValue::Null(type);
        // The literal path reports it and sends the text as it is.
        if (!found)
            return std::nullopt;
        const dao::DateParts& when = *found;
        // The literal keeps four digits of the year only.
        if (when.year < 0 || when.year > 9999)
            return std::nullopt;
        const bool withTime = specialTime || (when.timeValid && (when.hour | when.minute | when.second) != 0);
        ParameterTimestamp t;
        t.year = qint16(when.year);
        t.month = quint16(when.month);
        t.day = quint16(when.day);
        if (withTime) {
            t.hour = quint16(when.hour);
            t.minute = quint16(when.minute);
            t.second = quint16(when.second);
        }
        return ParameterValue::Timestamp(t);
    }
    case dao::dbBinary:
    case dao::dbLongBinary:
        if (cell.kind == CellValue::Other && cell.variant.typeId() == QMetaType::QByteArray)
            return ParameterValue::Binary(cell.variant.toByteArray());
        return std::nullopt;
    case dao::dbGUID:
    case dao::dbText:
    case dao::dbMemo: {
        QString s = sendableText(cell.kind == CellValue::Text ? cell.text
                                     : cell.isNull()          ? defaultText
                                                              : cellText(cell),
                                 field, onError);
        if (dialect != Dialect::MySQL && s.contains(QChar(u'\0'))) {
            s.replace(QChar(u'\0'), QLatin1Char(' '));
            nulBlanked = true;
        }
        if (dialect == Dialect::Sybase)
            s.remove(QChar(u'\u2019'));
        return ParameterValue::Text(s);
    }
    case dao::dbByte:
    case dao::dbInteger:
    case dao::dbLong:
    case dao::dbCurrency:
    case dao::dbSingle:
    case dao::dbDouble:
        return numberParameter(type, cell, defaultText);
    default: {
        // The literal is the bare text: a parameter only where it is a number.
        const QString text = preparedText(cell, defaultText);
        if (!isNumberText(text, false))
            return std::nullopt;
        return ParameterValue::Decimal(text);
    }
    }
}

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
                while (zeros < count && digits[zeros] == '0')
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

QString DateLiteral(const QDate& date, const QTime& time, Dialect dialect, bool specialTime)
{
    return written(
        [&](StatementBuffer& out) { appendDateLiteral(out, dao::DateParts::of(date, time), dialect, specialTime); });
}

QString BinaryLiteral(const QByteArray& bytes, Dialect dialect)
{
    return written([&](StatementBuffer& out) { appendBinaryLiteral(out, bytes, dialect); });
}

QString QuotedText(const QString& text, Dialect dialect)
{
    return written([&](StatementBuffer& out) { appendTextLiteral(out, text, dialect); });
}

QString RenderValue(const dao::Field& field, const QVariant& cell, const QString& defaultText, Dialect dialect,
                    bool specialTime, const std::optional<QDate>& dateBase, const RenderErrorSink& onError)
{
    CellValue value;
    value.assign(cell);
    return written([&](StatementBuffer& out) {
        appendValue(out, field, value, defaultText, dialect, specialTime, dateBase, onError);
    });
}

bool AppendValue(StatementBuffer& out, const dao::Field& field, const dao::CellValue& cell, const QString& defaultText,
                 Dialect dialect, bool specialTime, const std::optional<QDate>& dateBase,
                 const RenderErrorSink& onError)
{
    return appendValue(out, field, cell, defaultText, dialect, specialTime, dateBase, onError);
}

QString CellText(const dao::CellValue& cell)
{
    return cellText(cell);
}

std::optional<QDateTime> ParseDateText(const QString& text)
{
    return parseDateText(text);
}
