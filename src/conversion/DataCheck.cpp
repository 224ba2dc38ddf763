#include "conversion/DataCheck.h"

#include "conversion/ColumnMapping.h"
#include "conversion/TableRun.h"
#include "core/TabrixError.h"
#include "server/ServerConnection.h"
#include "sql/DialectRecord.h"
#include "sql/Literals.h"
#include "sql/Names.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

#include <charconv>
#include <cmath>

using dao::CellValue;

namespace {

constexpr int kMostScale = 38;  // 10^38 still fits into 128 bits

__int128 pow10(int n)
{
    __int128 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

QString digitsOf(__int128 value)
{
    unsigned __int128 u = value < 0 ? 0 - static_cast<unsigned __int128>(value) : static_cast<unsigned __int128>(value);
    char buffer[48];
    int n = 0;
    do {
        buffer[n++] = char('0' + int(u % 10));
        u /= 10;
    } while (u != 0);
    QString text;
    text.reserve(n);
    while (n > 0)
        text += QLatin1Char(buffer[--n]);
    return text;
}

// Groups of three digits with "." from the right: "1204" -> "1.204".
QString grouped(const QString& digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char('.');
        out += digits[i];
    }
    return out;
}

QString germanCount(qint64 n)
{
    return QLocale(QLocale::German).toString(n);
}

// The shortest text that reads back as the same value ("1.2345678", "1e-07"), in German form.
template <typename Real>
QString germanReal(Real value)
{
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    QString text = QString::fromLatin1(buffer, end - buffer);
    const qsizetype exponent = text.indexOf(QLatin1Char('e'));
    QString mantissa = exponent < 0 ? text : text.left(exponent);
    const QString rest = exponent < 0 ? QString() : text.mid(exponent);
    const bool negative = mantissa.startsWith(QLatin1Char('-'));
    if (negative)
        mantissa.remove(0, 1);
    const qsizetype point = mantissa.indexOf(QLatin1Char('.'));
    QString out = grouped(point < 0 ? mantissa : mantissa.left(point));
    if (point >= 0)
        out += QLatin1Char(',') + mantissa.mid(point + 1);
    return (negative ? QStringLiteral("-") : QString()) + out + rest;
}

std::optional<ExactNumber> exactOf(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return ExactNumber::parse(QString::fromLatin1(buffer, end - buffer));
}

// Code points: a pair of UTF-16 surrogates is one character, and so is a lone
// half of a pair (the row statement sends U+FFFD for it).
qint64 codePoints(const QString& text)
{
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    const char16_t* end = p + text.size();
    qint64 n = text.size();
    for (; p + 1 < end; ++p)
        if ((*p & 0xFC00) == 0xD800 && (p[1] & 0xFC00) == 0xDC00) {
            --n;
            ++p;
        }
    return n;
}

DateKey dateKeyOf(int year, int month, int day, int hour, int minute, int second)
{
    return DateKey{((((qint64(year) * 100 + month) * 100 + day) * 100 + hour) * 100 + minute) * 100 + second, 0};
}

// The value as the server holds it: a midnight value and a value without a
// valid time of day are written as the date alone.
DateKey sentDate(dao::DateParts when, bool specialTime, const std::optional<QDate>& dateBase)
{
    if (specialTime && dateBase)
        dateBase->getDate(&when.year, &when.month, &when.day);
    if (!specialTime && !when.timeValid)
        when.hour = when.minute = when.second = 0;
    return dateKeyOf(when.year, when.month, when.day, when.hour, when.minute, when.second);
}

// The server's answers, by what they should hold; nothing for NULL or what cannot be read.
std::optional<ExactNumber> serverExact(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::Short:
        return ExactNumber{v.toLongLong(), 0};
    case QMetaType::ULongLong:
    case QMetaType::UInt:
        return ExactNumber{__int128(v.toULongLong()), 0};
    case QMetaType::Double:
    case QMetaType::Float:
        return exactOf(v.toDouble());
    default:
        return ExactNumber::parse(v.toString());
    }
}

std::optional<double> serverReal(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

std::optional<DateKey> serverDate(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    if (v.typeId() == QMetaType::QDateTime || v.typeId() == QMetaType::QDate) {
        const QDateTime when = v.toDateTime();
        return dateKeyOf(when.date().year(), when.date().month(), when.date().day(), when.time().hour(),
                         when.time().minute(), when.time().second());
    }
    // "2024-03-05 14:07:09.000", DB2's "2024-03-05-14.07.09.000000", a date alone.
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{1,4})-(\\d{1,2})-(\\d{1,2})(?:[ "
                       "T-](\\d{1,2})[:.](\\d{1,2})[:.](\\d{1,2})(?:\\.(\\d{1,9}))?)?\\s*$"));
    const QRegularExpressionMatch m = form.match(v.toString());
    if (!m.hasMatch())
        return std::nullopt;
    DateKey key = dateKeyOf(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt(),
                            m.captured(5).toInt(), m.captured(6).toInt());
    key.micros = (m.captured(7) + QStringLiteral("000000")).left(6).toInt();
    return key;
}

const QString kNone = QStringLiteral("keiner");

}  // namespace

// ---------------------------------------------------------------------------
// Exact numbers

std::optional<ExactNumber> ExactNumber::parse(QStringView text)
{
    text = text.trimmed();
    // A wide DECIMAL column gives its value with every place of its scale:
    // zeros after the point carry no digit.
    const bool fraction = text.contains(u'.') || text.contains(u',');
    if (fraction && !text.contains(u'e') && !text.contains(u'E')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.') || text.endsWith(u','))
            text.chop(1);
    }
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    ExactNumber number;
    int digits = 0;
    bool point = false;
    bool any = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            any = true;
            if (digits > 0 || c != u'0')
                ++digits;
            if (digits > kMostScale)
                return std::nullopt;
            number.units = number.units * 10 + (c.unicode() - u'0');
            if (point)
                ++number.scale;
        } else if ((c == u'.' || c == u',') && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!any)
        return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        bool ok = false;
        const int exponent = text.mid(i + 1).toInt(&ok);
        if (!ok || exponent > kMostScale || exponent < -kMostScale)
            return std::nullopt;
        number.scale -= exponent;
        i = n;
    }
    if (i != n)
        return std::nullopt;
    if (number.scale < 0) {
        if (digits - number.scale > kMostScale)
            return std::nullopt;
        number.units *= pow10(-number.scale);
        number.scale = 0;
    }
    if (number.scale > kMostScale)
        number = number.normalised();
    if (number.scale > kMostScale)
        return std::nullopt;
    if (negative)
        number.units = -number.units;
    return number;
}

ExactNumber ExactNumber::normalised() const
{
    ExactNumber n = *this;
    while (n.scale > 0 && n.units % 10 == 0) {
        n.units /= 10;
        --n.scale;
    }
    return n;
}

int ExactNumber::compare(const ExactNumber& a, const ExactNumber& b)
{
    const auto sign = [](__int128 v) { return v < 0 ? -1 : v > 0 ? 1 : 0; };
    if (a.scale == b.scale)
        return sign(a.units - b.units);
    // Whole parts first, then the fractions at the finer scale: no product
    // leaves 128 bits however far the scales lie apart.
    const __int128 pa = pow10(a.scale);
    const __int128 pb = pow10(b.scale);
    const __int128 wa = a.units / pa;
    const __int128 wb = b.units / pb;
    if (wa != wb)
        return sign(wa - wb);
    const int scale = std::max(a.scale, b.scale);
    return sign((a.units % pa) * pow10(scale - a.scale) - (b.units % pb) * pow10(scale - b.scale));
}

QString ExactNumber::german() const
{
    const ExactNumber n = normalised();
    QString digits = digitsOf(n.units);
    if (digits.size() <= n.scale)
        digits.prepend(QString(n.scale - digits.size() + 1, QLatin1Char('0')));
    QString out = n.units < 0 ? QStringLiteral("-") : QString();
    out += grouped(digits.left(digits.size() - n.scale));
    if (n.scale > 0)
        out += QLatin1Char(',') + digits.right(n.scale);
    return out;
}

QString DateKey::german() const
{
    qint64 v = seconds;
    const auto take = [&v](int base) {
        const int part = int(v % base);
        v /= base;
        return part;
    };
    const int second = take(100), minute = take(100), hour = take(100), day = take(100), month = take(100);
    QString text = QString::asprintf("%02d.%02d.%04d %02d:%02d:%02d", day, month, int(v), hour, minute, second);
    if (micros != 0)
        text += QLatin1Char(',') + QString::asprintf("%06d", micros).remove(QRegularExpression(QStringLiteral("0+$")));
    return text;
}

// ---------------------------------------------------------------------------
// Gathering

DataCheck::DataCheck(QString table, QList<dao::Field> fields, Dialect dialect)
    : m_table(std::move(table))
    , m_dialect(dialect)
{
    const SqlDialect& d = DialectRecord(dialect);
    m_wanted.append({-1, Figure::Rows});
    for (int i = 0; i < fields.size(); ++i) {
        Column c;
        c.field = fields[i];
        switch (c.field.Type) {
        case dao::dbBoolean:
            c.kind = Class::Flag;
            break;
        case dao::dbByte:
        case dao::dbInteger:
        case dao::dbLong:
            c.kind = Class::Whole;
            break;
        case dao::dbCurrency:
            c.kind = Class::Money;
            c.sumScale = 4;
            break;
        case dao::dbDecimal:
            c.kind = Class::Decimal;
            c.sumScale = std::clamp(c.field.Scale, 0, 28);
            // Values of every scale (a calculated field) add up beyond what is kept exactly.
            if (c.field.Scale == dao::kScaleOfEachValue)
                c.sumExact = false;
            break;
        case dao::dbSingle:
            c.kind = Class::Single;
            break;
        case dao::dbDouble:
            c.kind = Class::Double;
            break;
        case dao::dbDate:
            c.kind = Class::Date;
            break;
        case dao::dbText:
        case dao::dbMemo:
            c.kind = Class::Text;
            break;
        default:
            c.kind = Class::Other;
            break;
        }
        m_columns.append(c);
        m_wanted.append({i, Figure::Cells});
        switch (c.kind) {
        case Class::Flag:
            m_wanted.append({i, Figure::TrueCount});
            break;
        case Class::Whole:
        case Class::Money:
        case Class::Decimal:
            m_wanted.append({i, Figure::Sum});
            [[fallthrough]];
        case Class::Single:  // sums of floating-point values depend on the order of the additions
        case Class::Double:
        case Class::Date:
            m_wanted.append({i, Figure::Min});
            m_wanted.append({i, Figure::Max});
            break;
        case Class::Text:
            if (!(c.field.Type == dao::dbMemo ? d.memoCharacters : d.textCharacters).isEmpty())
                m_wanted.append({i, Figure::Characters});
            break;
        case Class::Other:
            break;
        }
    }
}

void DataCheck::leaveOut(LeftOutRows why, qint64 rows)
{
    m_leftOut[size_t(why)] += rows;
}

void DataCheck::addCell(int column, const CellValue& cell, const QString& defaultText)
{
    if (column < 0 || column >= m_columns.size())
        return;
    Column& c = m_columns[column];
    if (!cell.isNull()) {
        tally(c, column, cell);
        return;
    }
    if (defaultText.isEmpty())
        return;
    // The default as the server reads its literal; kept, since it is the same for most rows.
    if (c.defaultText != defaultText || c.defaultValue.isNull()) {
        c.defaultText = defaultText;
        if (c.kind == Class::Flag) {
            c.defaultValue.kind = CellValue::Boolean;
            c.defaultValue.whole = defaultText == QLatin1String("1") || defaultText == QLatin1String("TRUE") ? 1 : 0;
        } else {
            c.defaultValue.kind = CellValue::Text;
            c.defaultValue.text = defaultText;
        }
    }
    tally(c, column, c.defaultValue);
}

void DataCheck::addExact(Column& c, const ExactNumber& value)
{
    ExactNumber v = value.scale > c.sumScale ? value.normalised() : value;
    if (v.scale > c.sumScale)
        c.sumExact = false;  // more places than the column keeps: the server rounds
    else
        c.sum.units += v.units * pow10(c.sumScale - v.scale);
    if (!c.min.set || ExactNumber::compare(value, c.min.exact) < 0)
        c.min = Extreme{true, value, 0, {}};
    if (!c.max.set || ExactNumber::compare(value, c.max.exact) > 0)
        c.max = Extreme{true, value, 0, {}};
}

void DataCheck::tally(Column& c, int position, const CellValue& value)
{
    ++c.cells;
    switch (c.kind) {
    case Class::Flag:
        if (value.kind == CellValue::Boolean ? value.whole != 0 : CellText(value) == QLatin1String("TRUE"))
            ++c.trues;
        return;
    case Class::Whole:
    case Class::Money:
    case Class::Decimal: {
        std::optional<ExactNumber> v;
        switch (value.kind) {
        case CellValue::Whole:
        case CellValue::Boolean:
            v = ExactNumber{value.whole, 0};
            break;
        case CellValue::Money:
            v = ExactNumber{value.whole, 4};
            break;
        case CellValue::Single:
            v = exactOf(double(float(value.real)));
            break;
        case CellValue::Double:
            v = exactOf(value.real);
            break;
        default:
            v = ExactNumber::parse(CellText(value));
            break;
        }
        if (v)
            addExact(c, *v);
        else
            c.sumExact = false;
        return;
    }
    case Class::Single:
    case Class::Double: {
        double real = 0;
        bool ok = true;
        switch (value.kind) {
        case CellValue::Single:
        case CellValue::Double:
            real = value.real;
            break;
        case CellValue::Whole:
        case CellValue::Boolean:
            real = double(value.whole);
            break;
        case CellValue::Money:
            real = double(value.whole) / 10000;
            break;
        default:
            real = CellText(value).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
            break;
        }
        if (!ok || std::isnan(real))
            return;
        if (c.kind == Class::Single)
            real = float(real);  // written as the float it is
        if (!c.min.set || real < c.min.real)
            c.min = Extreme{true, {}, real, {}};
        if (!c.max.set || real > c.max.real)
            c.max = Extreme{true, {}, real, {}};
        return;
    }
    case Class::Date: {
        dao::DateParts when;
        if (value.kind == CellValue::DateTime) {
            when = value.date;
        } else {
            const std::optional<QDateTime> parsed = ParseDateText(CellText(value));
            if (!parsed)
                return;
            when = dao::DateParts::of(parsed->date(), parsed->time());
        }
        const DateKey key = sentDate(when, m_special.contains(position), m_special.dateBase);
        if (!c.min.set || key < c.min.date)
            c.min = Extreme{true, {}, 0, key};
        if (!c.max.set || key > c.max.date)
            c.max = Extreme{true, {}, 0, key};
        return;
    }
    case Class::Text:
        if (value.kind == CellValue::Text) {
            c.characters += codePoints(value.text);
            c.emptyTexts += value.text.isEmpty() ? 1 : 0;
        } else {
            const QString text = CellText(value);
            c.characters += codePoints(text);
            c.emptyTexts += text.isEmpty() ? 1 : 0;
        }
        return;
    case Class::Other:
        return;
    }
}

QString DataCheck::leftOutText() const
{
    const auto rows = [](qint64 n, const char* one, const char* many) {
        return germanCount(n) + QLatin1Char(' ') + QString::fromUtf8(n == 1 ? one : many);
    };
    QStringList parts;
    if (const qint64 n = m_leftOut[size_t(LeftOutRows::Damaged)])
        parts << rows(n, "beschädigter Datensatz", "beschädigte Datensätze");
    if (const qint64 n = m_leftOut[size_t(LeftOutRows::OtherWorkstations)])
        parts << rows(n, "Datensatz anderer Arbeitsplätze", "Datensätze anderer Arbeitsplätze");
    if (const qint64 n = m_leftOut[size_t(LeftOutRows::WithoutValues)])
        parts << rows(n, "Datensatz ohne Werte", "Datensätze ohne Werte");
    if (const qint64 n = m_leftOut[size_t(LeftOutRows::StructureOnly)])
        parts << rows(n, "Datensatz (nur Struktur)", "Datensätze (nur Struktur)");
    return parts.join(QStringLiteral(", "));
}

QString DataCheck::notComparable() const
{
    if (m_leftOut[size_t(LeftOutRows::OtherWorkstations)] > 0)
        return QStringLiteral("andere Arbeitsplätze füllen dieselbe Tabelle");
    if (m_leftOut[size_t(LeftOutRows::StructureOnly)] > 0)
        return QStringLiteral("nur die Struktur wurde angelegt");
    return {};
}

// ---------------------------------------------------------------------------
// The query

QString DataCheck::columnName(int column) const
{
    // As the row statements write it.
    return ShortenColumnNames(WrittenColumnName(m_columns[column].field.Name, m_table, m_dialect));
}

QString DataCheck::expression(const Wanted& w) const
{
    if (w.figure == Figure::Rows)
        return QStringLiteral("COUNT(*)");
    const SqlDialect& d = DialectRecord(m_dialect);
    const Column& c = m_columns[w.column];
    const QString name = columnName(w.column);
    const auto filled = [&name](QStringView form) { return form.toString().replace(QLatin1String("{c}"), name); };
    switch (w.figure) {
    case Figure::Cells:
        // Long texts and binary data take no COUNT on several servers, but IS NULL everywhere.
        if (c.field.Type == dao::dbMemo || c.field.Type == dao::dbLongBinary || c.field.Type == dao::dbBinary)
            return QStringLiteral("COUNT(CASE WHEN ") + name + QStringLiteral(" IS NOT NULL THEN 1 END)");
        return QStringLiteral("COUNT(") + name + QLatin1Char(')');
    case Figure::TrueCount:
        return filled(d.flagSum);
    case Figure::Sum:
        return c.kind == Class::Whole ? filled(d.wholeSum) : QStringLiteral("SUM(") + name + QLatin1Char(')');
    case Figure::Min:
        return QStringLiteral("MIN(") + name + QLatin1Char(')');
    case Figure::Max:
        return QStringLiteral("MAX(") + name + QLatin1Char(')');
    case Figure::Characters:
        return filled(c.field.Type == dao::dbMemo ? d.memoCharacters : d.textCharacters);
    case Figure::Rows:
        break;
    }
    return {};
}

QString DataCheck::Query() const
{
    QStringList figures;
    figures.reserve(m_wanted.size());
    for (const Wanted& w : m_wanted)
        figures.append(expression(w));
    return QStringLiteral("SELECT ") + figures.join(QStringLiteral(", ")) + QStringLiteral(" FROM ")
        + DelimitedName(m_table, m_dialect);
}

// ---------------------------------------------------------------------------
// The comparison

DataDifference DataCheck::difference(const Wanted& w, const QString& inFile, const QString& onServer) const
{
    static const char* const names[] = {"Datensätze",     "Zellen",       "Ja-Werte", "Summe",
                                        "kleinster Wert", "größter Wert", "Zeichen"};
    DataDifference d;
    d.figure = QString::fromUtf8(names[int(w.figure)]);
    d.field = w.column >= 0 ? m_columns[w.column].field.Name : QString();
    d.inFile = inFile;
    d.onServer = onServer;
    d.line = QStringLiteral("Tabelle ") + m_table;
    if (w.column >= 0)
        d.line += QStringLiteral(", Feld ") + d.field;
    d.line += QStringLiteral(": ");
    // Counts stand before their noun, values after theirs.
    const bool counted = w.figure == Figure::Rows || w.figure == Figure::Cells || w.figure == Figure::TrueCount
        || w.figure == Figure::Characters;
    static const char* const one[] = {"Datensatz", "Zelle", "Ja-Wert", "", "", "", "Zeichen"};
    if (counted)
        d.line += inFile + QLatin1Char(' ')
            + (inFile == QLatin1String("1") ? QString::fromUtf8(one[int(w.figure)]) : d.figure);
    else
        d.line += d.figure + QLatin1Char(' ') + inFile;
    d.line += QStringLiteral(" in Access, ") + onServer + QStringLiteral(" auf dem Server");
    return d;
}

DataCheckOutcome DataCheck::Compare(const QList<QVariant>& answer) const
{
    DataCheckOutcome outcome;
    outcome.leftOut = leftOutText();
    outcome.figures = int(m_wanted.size());
    for (qsizetype i = 0; i < m_wanted.size(); ++i) {
        const Wanted& w = m_wanted[i];
        const QVariant& v = i < answer.size() ? answer[i] : QVariant();
        const auto counted = [&](qint64 inFile) {
            // NULL: a sum over no rows.
            const std::optional<ExactNumber> server = serverExact(v);
            const ExactNumber n = server ? server->normalised() : ExactNumber{};
            if (w.figure == Figure::Rows && n.scale == 0)
                outcome.rowsOnServer = qint64(n.units);
            if (n.scale != 0 || n.units != inFile)
                outcome.differences.append(
                    difference(w, germanCount(inFile), server ? n.german() : QStringLiteral("0")));
        };
        if (w.figure == Figure::Rows) {
            counted(m_rows);
            continue;
        }
        const Column& c = m_columns[w.column];
        switch (w.figure) {
        case Figure::Cells:
            // Oracle keeps an empty text as NULL.
            counted(c.cells - (m_dialect == Dialect::Oracle ? c.emptyTexts : 0));
            break;
        case Figure::TrueCount:
            counted(c.trues);
            break;
        case Figure::Characters:
            counted(c.characters);
            break;
        case Figure::Sum: {
            if (!c.sumExact)
                break;
            const ExactNumber file = ExactNumber{c.sum.units, c.sumScale}.normalised();
            const std::optional<ExactNumber> server = serverExact(v);
            const ExactNumber onServer = server ? *server : ExactNumber{};
            if (ExactNumber::compare(file, onServer) != 0)
                outcome.differences.append(difference(w, file.german(), onServer.german()));
            break;
        }
        case Figure::Min:
        case Figure::Max: {
            const Extreme& e = w.figure == Figure::Min ? c.min : c.max;
            QString inFile = kNone;
            QString onServer = kNone;
            bool same = false;
            switch (c.kind) {
            case Class::Date: {
                const std::optional<DateKey> server = serverDate(v);
                same = server ? e.set && *server == e.date : !e.set;
                inFile = e.set ? e.date.german() : kNone;
                onServer = server ? server->german() : v.isNull() ? kNone : v.toString();
                break;
            }
            case Class::Single:
            case Class::Double: {
                const std::optional<double> server = serverReal(v);
                // A REAL column answers as a double: compared as the float it holds.
                const bool single = c.kind == Class::Single;
                same = server ? e.set && (single ? float(*server) == float(e.real) : *server == e.real) : !e.set;
                inFile = !e.set ? kNone : single ? germanReal(float(e.real)) : germanReal(e.real);
                onServer = !server ? kNone : single ? germanReal(float(*server)) : germanReal(*server);
                break;
            }
            default: {
                const std::optional<ExactNumber> server = serverExact(v);
                same = server ? e.set && ExactNumber::compare(*server, e.exact) == 0 : !e.set;
                inFile = e.set ? e.exact.german() : kNone;
                onServer = server ? server->german() : kNone;
                break;
            }
            }
            if (!same)
                outcome.differences.append(difference(w, inFile, onServer));
            break;
        }
        case Figure::Rows:
            break;
        }
    }
    outcome.result = outcome.differences.isEmpty() ? DataCheckResult::Passed : DataCheckResult::Differences;
    return outcome;
}

// ---------------------------------------------------------------------------
// Running it

DataCheckOutcome RunDataCheck(ServerConnection& connection, const DataCheck& check)
{
    DataCheckOutcome outcome;
    outcome.leftOut = check.leftOutText();
    outcome.result = DataCheckResult::NotChecked;
    if (outcome.reason = check.notComparable(); !outcome.reason.isEmpty())
        return outcome;
    QList<QVariant> answer;
    try {
        const std::unique_ptr<ServerResultSet> rs =
            connection.OpenResultset(check.Query(), rdOpenForwardOnly, rdConcurReadOnly, rdExecDirect);
        for (int i = 0; i < check.figureCount(); ++i)
            answer.append(rs->Value(i));
        rs->Close();
    } catch (const TabrixError& e) {
        outcome.reason = QStringLiteral("der Server beantwortete die Prüfabfrage nicht: ") + e.description();
        return outcome;
    }
    return check.Compare(answer);
}

DataCheckOutcome RunDataCheck(TableRun& run, const DataCheck& check)
{
    DataCheckOutcome outcome;
    try {
        outcome = RunDataCheck(run.host().connection(), check);
    } catch (const TabrixError& e) {
        outcome.result = DataCheckResult::NotChecked;
        outcome.reason = e.description();
    }
    for (const DataDifference& d : std::as_const(outcome.differences))
        run.note(d.line);
    if (outcome.result == DataCheckResult::NotChecked)
        run.note(QStringLiteral("Tabelle ") + check.table() + QStringLiteral(": Daten nicht geprüft (") + outcome.reason
                 + QStringLiteral(")."));
    return outcome;
}
