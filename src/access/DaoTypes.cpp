#include "access/DaoTypes.h"

#include "access/jet/JetValues.h"

#include <map>

namespace dao {

QString AccessTypeName(int code)
{
    static const std::map<int, const char*> names = {
        {dbBoolean, "Ja/Nein"},
        {dbByte, "Byte"},
        {dbInteger, "Integer"},
        {dbLong, "Long Integer"},
        {dbCurrency, "Währung"},
        {dbSingle, "Single"},
        {dbDouble, "Double"},
        {dbDate, "Datum/Uhrzeit"},
        {dbBinary, "Binär"},
        {dbText, "Text"},
        {dbLongBinary, "OLE-Objekt"},
        {dbMemo, "Memo"},
        {dbGUID, "Replikations-ID"},
        {dbDecimal, "Dezimal"},
        {dbComplex, "Anlagen"},
        {dbBigInt, "Große Zahlen"},
        {dbDateTimeExtended, "Erweiterte Datums-/Uhrzeitwerte"},
    };
    const auto it = names.find(code);
    return QString::fromUtf8(it == names.end() ? "Werte eines unbekannten Typs" : it->second);
}

QString Currency::toString() const
{
    return jet::scaledText(scaled);
}

void CellValue::assign(const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        kind = Null;
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        kind = Boolean;
        whole = value.toBool() ? 1 : 0;
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UChar:
        kind = Whole;
        whole = value.toLongLong();
        return;
    case QMetaType::Float:
        kind = Single;
        real = value.toFloat();
        return;
    case QMetaType::Double:
        kind = Double;
        real = value.toDouble();
        return;
    case QMetaType::QDateTime: {
        const QDateTime when = value.toDateTime();
        kind = DateTime;
        date = DateParts::of(when.date(), when.time());
        return;
    }
    case QMetaType::QString:
        kind = Text;
        text = value.toString();
        return;
    default:
        if (value.metaType() == QMetaType::fromType<Currency>()) {
            kind = Money;
            whole = value.value<Currency>().scaled;
            return;
        }
        kind = Other;
        variant = value;
        return;
    }
}

DateParts DateParts::of(const QDate& date, const QTime& time)
{
    DateParts parts;
    date.getDate(&parts.year, &parts.month, &parts.day);
    parts.timeValid = time.isValid();
    parts.hour = time.hour();
    parts.minute = time.minute();
    parts.second = time.second();
    return parts;
}

}  // namespace dao
