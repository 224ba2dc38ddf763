#pragma once

// The values of the DAO object model that the Access engine hands out: field,
// index, table, relation and query definitions, Currency and date parts, a
// cell of a row and a passed-over row. Plain values without libmdb, so that
// the file format's parts (access/jet) and the layers above share them
// without the engine's interfaces.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <limits>

namespace dao {

// The engine's field type codes, as the file stores them (DAO numbers the
// newer types differently: dbAttachment 101, dbBigInt 16 ...). Any other code
// passes through as it is stored.
enum FieldType : int {
    dbBoolean = 1,
    dbByte = 2,
    dbInteger = 3,
    dbLong = 4,
    dbCurrency = 5,
    dbSingle = 6,
    dbDouble = 7,
    dbDate = 8,
    dbBinary = 9,
    dbText = 10,
    dbLongBinary = 11,
    dbMemo = 12,
    dbGUID = 15,
    dbDecimal = 16,
    // Access 2007 and later: an attachment, a multi-valued field or the hidden
    // version history of a Memo that keeps it. The cell holds only a key; the
    // values lie in a hidden table of their own ("f_..._<field>").
    dbComplex = 18,
    dbBigInt = 19,            // Access 2016's "Large Number"
    dbDateTimeExtended = 20,  // Access 2019's "Date/Time Extended"
};

// The values of an Access type as a message names them, in the plural where
// they are left out: "Anlagen" (dbComplex), "Große Zahlen", ..., "Werte eines
// unbekannten Typs" for a code the engine does not know; the ordinary types by
// Access's own names ("Memo", "Datum/Uhrzeit"). For example "Tabelle
// Customers, Feld Attachments: Anlagen (Access-Typ 18) werden nicht übertragen."
QString AccessTypeName(int code);

// The scale of a calculated Decimal field, whose values each carry their own
// (Access keeps up to 28 digits in all).
constexpr int kScaleOfEachValue = std::numeric_limits<int>::min();

// TableDef.Attributes bits that mark system objects.
constexpr quint32 dbSystemObjectMask = 0x80000002u;

// Relation.Attributes bits.
constexpr qint32 dbRelationUnique = 1;
constexpr qint32 dbRelationUpdateCascade = 256;
constexpr qint32 dbRelationDeleteCascade = 4096;

struct Field {
    QString Name;
    int Type = 0;  // engine type code (FieldType); unknown codes pass through
    int Size = 0;  // Text: length in characters; others: the engine's byte size
    bool Required = false;
    QString DefaultValue;  // exactly as entered in Access, double quotes included
    int Precision = 0;     // Decimal: digits in all; 0 for other types
    int Scale = 0;         // Decimal: digits after the point; kScaleOfEachValue for a calculated one
};

struct Index {
    QString Name;
    bool Primary = false;
    bool Unique = false;
    QStringList Fields;  // field names in key order
};

struct TableDef {
    QString Name;
    quint32 Attributes = 0;
    QList<Field> Fields;
    QList<Index> Indexes;
};

struct RelationField {
    QString Name;         // primary (referenced) side
    QString ForeignName;  // foreign side
};

struct Relation {
    QString Name;
    QString Table;         // referenced, primary side
    QString ForeignTable;  // referencing side
    qint32 Attributes = 0;
    QList<RelationField> Fields;  // in column order
};

// QueryDef.Type: DAO's QueryDefTypeEnum.
enum QueryDefType : int {
    dbQSelect = 0,
    dbQCrosstab = 16,
    dbQDelete = 32,
    dbQUpdate = 48,
    dbQAppend = 64,
    dbQMakeTable = 80,
    dbQDDL = 96,
    dbQSQLPassThrough = 112,
    dbQSetOperation = 128,  // union
    dbQSPTBulk = 144,
    dbQCompound = 160,
    dbQProcedure = 224,
    dbQAction = 240,
};

struct QueryDef {
    QString Name;
    QString SQL;  // the text Access shows; empty when SQLError says why
    int Type = dbQSelect;
    QString SQLError{};  // German, for the user: why the text of this query cannot be given (a damaged catalogue)
};

// A Currency value held exactly: the amount times 10,000.
struct Currency {
    qint64 scaled = 0;
    // Decimal text with up to four places and no trailing zeros: "12.5", "-0.0001", "3".
    QString toString() const;
    friend bool operator==(const Currency& a, const Currency& b) { return a.scaled == b.scaled; }
};

// A date and time of day as calendar parts, to the second (no time zone).
struct DateParts {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool timeValid = true;  // false for a date without a valid time of day

    // The parts of a date and a time as Qt gives them (an invalid date: zeros).
    static DateParts of(const QDate& date, const QTime& time);
    QDate toDate() const { return QDate(year, month, day); }
    QTime toTime() const { return timeValid ? QTime(hour, minute, second) : QTime(); }
};

// One cell of the current row as a plain value, for readers that go through
// many rows: numbers and dates without a QVariant, texts in a buffer that is
// kept from row to row (see Recordset::ReadCell).
struct CellValue {
    enum Kind : quint8 {
        Null,      // a null cell
        Boolean,   // whole: 0 or 1
        Whole,     // a whole number: whole
        Money,     // Currency: whole is the amount times 10,000
        Single,    // real holds a float's value exactly
        Double,    // real
        DateTime,  // date
        Text,      // text
        Other,     // variant, as Value() gives it (binary data, GUIDs, ...)
    };
    Kind kind = Null;
    qint64 whole = 0;
    double real = 0;
    DateParts date;
    QString text;
    QVariant variant;

    // The cell of a value as Value() gives it.
    void assign(const QVariant& value);
    bool isNull() const { return kind == Null; }
};

// A row of a damaged file that the recordset passed over: its number in the
// table (from 1, in the file's order) and why it cannot be read.
struct SkippedRow {
    long number = 0;
    QString text;
};

}  // namespace dao

Q_DECLARE_METATYPE(dao::Currency)
