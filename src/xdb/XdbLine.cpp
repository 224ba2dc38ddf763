#include "xdb/XdbLine.h"

#include "core/TabrixError.h"

#include <cmath>
#include <limits>

namespace {
const QString kSource = QStringLiteral("SQL-Tabrix");

bool contains(const QString& text, const QString& part)
{
    return text.contains(part, Qt::CaseInsensitive);
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// Values are trimmed of blanks only: a tab is part of the value.
QString trimmed(const QString& text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first] == QLatin1Char(' '))
        ++first;
    while (end > first && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(first, end - first);
}

// Sign, digits, fraction and exponent from the start of `text` (blanks already
// gone); the characters used end up in `used`. NaN when there is no digit.
double leadingNumber(const QString& text, qsizetype* used)
{
    QString number;
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        number += text[i++];
    bool digits = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        number += text[i++];
        digits = true;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        number += text[i++];
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            number += text[i++];
            digits = true;
        }
    }
    if (!digits) {
        *used = 0;
        return std::nan("");
    }
    // An exponent counts only when digits follow it.
    if (i < n && QStringLiteral("eEdD").contains(text[i])) {
        qsizetype j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            exponent += text[j++];
        const qsizetype firstDigit = j;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128)
            exponent += text[j++];
        if (j > firstDigit) {
            number += exponent;
            i = j;
        }
    }
    *used = i;
    return number.toDouble();
}

// Rounds half to even into the range of the integer type, or raises "Überlauf".
template <typename Int>
Int roundInto(double value)
{
    const double rounded = std::nearbyint(value);  // the default rounding mode rounds half to even
    if (!std::isfinite(rounded) || rounded < double(std::numeric_limits<Int>::min())
        || rounded > double(std::numeric_limits<Int>::max()))
        throw TabrixError(6, QStringLiteral("Überlauf"), kSource);
    return Int(rounded);
}
}  // namespace

void XdbSections::endBlocks()
{
    FieldsSection = false;
    OldFieldsSection = false;
    RenameFieldSection = false;
    RenameTableSection = false;
    QueriesSection = false;
}

QString XdbColumns(const QString& line, int first, int last)
{
    if (first < 1 || first > line.size())
        return QString();
    if (last <= 0)
        return line.mid(first - 1);
    return line.mid(first - 1, qMax(0, last - first + 1));
}

qint16 XdbLeadingNumber(const QString& text)
{
    QString packed;
    packed.reserve(text.size());
    for (const QChar c : text)
        if (!isBlank(c))
            packed += c;
    qsizetype used = 0;
    const double value = leadingNumber(packed, &used);
    if (std::isnan(value))
        return 0;
    return roundInto<qint16>(value);
}

qint32 XdbWholeNumber(const QString& text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && isBlank(text[first]))
        ++first;
    while (end > first && isBlank(text[end - 1]))
        --end;
    const QString value = text.mid(first, end - first);
    qsizetype used = 0;
    const double number = leadingNumber(value, &used);
    if (std::isnan(number) || used != value.size())
        throw TabrixError(13, QStringLiteral("Typen unverträglich"), kSource);
    return roundInto<qint32>(number);
}

XdbLineWork ParseXdbLine(const QString& line, const XdbSections& before)
{
    XdbLineWork work;
    XdbSections open = before;

    work.endsBlocks = (line.contains(QLatin1Char('[')) && !line.contains(QLatin1String("SQL")))
        || line.contains(QLatin1String("#####"));
    if (work.endsBlocks)
        open.endBlocks();

    const QString key22 = XdbColumns(line, 1, 22);
    const QString key24 = XdbColumns(line, 1, 24);

    if (open.OldFieldsSection)
        work.oldField = XdbFieldLine{trimmed(XdbColumns(line, 1, 50)), XdbColumns(line, 51, 53),
                                     XdbColumns(line, 54, 56), trimmed(XdbColumns(line, 57))};

    if (open.FieldsSection) {
        if (contains(key22, QStringLiteral("tabelle")))
            work.fieldsTable = XdbColumns(line, 24);
        if (contains(key22, QStringLiteral("feld ")))
            work.fieldsField = XdbFieldLine{trimmed(XdbColumns(line, 24, 71)), XdbColumns(line, 76, 78),
                                            XdbColumns(line, 80, 82), QString()};
    }

    if (open.RenameFieldSection) {
        if (contains(key24, QStringLiteral("tabelle")))
            work.renameFieldTable = XdbColumns(line, 26);
        if (contains(key24, QStringLiteral("feld")))
            work.renameField = XdbRenameLine{trimmed(XdbColumns(line, 26, 75)), trimmed(XdbColumns(line, 77))};
    }

    if (open.RenameTableSection && contains(key24, QStringLiteral("tabelle")))
        work.renameTable = XdbRenameLine{trimmed(XdbColumns(line, 26, 75)), trimmed(XdbColumns(line, 77))};

    if (open.QueriesSection) {
        if (contains(key22, QStringLiteral("name")))
            work.queryName = trimmed(XdbColumns(line, 24, 53));
        if (contains(key22, QStringLiteral("sql")))
            work.queryStatement = trimmed(XdbColumns(line, 24));
    }

    // The index block survives a header line; "[felder]" must not be read as its "feld" key.
    if (open.IndexSection && !contains(key22, QStringLiteral("[felder]"))) {
        static const std::pair<const char*, XdbIndexKey> keys[] = {
            {"tabelle", XdbIndexKey::Tabelle},     {"name", XdbIndexKey::Name},
            {"attribute", XdbIndexKey::Attribute}, {"felderanzahl", XdbIndexKey::Felderanzahl},
            {"feld", XdbIndexKey::Feld},
        };
        for (const auto& [word, key] : keys) {
            if (contains(key22, QString::fromLatin1(word))) {
                work.indexKey = key;
                work.indexValue = XdbColumns(line, 24);
                break;
            }
        }
    }

    work.opensFields = contains(line, QStringLiteral("[felder]"));
    work.opensRenameField = contains(line, QStringLiteral("[renamefield]"));
    work.opensRenameTable = contains(line, QStringLiteral("[renametable]"));
    work.opensIndex = contains(line, QStringLiteral("[Indizes]"));
    work.opensQueries = contains(line, QStringLiteral("[querys]"));

    if (line.contains(QLatin1String("#####")))
        work.oldFormatTable = trimmed(XdbColumns(line, 27));
    return work;
}

bool IsXdbStructureLine(const QString& line)
{
    const XdbLineWork work = ParseXdbLine(line, XdbSections{});
    return work.opensFields || work.opensRenameField || work.opensRenameTable || work.opensIndex || work.opensQueries
        || work.oldFormatTable || contains(XdbColumns(line, 1, 24), QStringLiteral("tabelle"));
}
