#pragma once

// Read-only view of an Access database (.mdb or .accdb) with the object model
// and the meanings of DAO: table definitions with fields and indexes,
// relations, saved queries and forward-reading recordsets. Backed by libmdb;
// nothing of libmdb shows through this header.

#include "access/DaoTypes.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

class QFile;

namespace dao {

// Rows of one table, read one after the other from the file (memory stays flat
// however long the table is). Field values, by type:
//   null cell            -> invalid QVariant (isNull() and !isValid())
//   Boolean              -> bool
//   Byte, Integer, Long  -> int
//   Currency             -> dao::Currency
//   Single               -> float      Double -> double
//   Date/Time            -> QDateTime (Qt::UTC, no zone shift; to the second)
//   Text, Memo           -> QString (an empty text is an empty, non-null QString)
//   Binary, Long binary  -> QByteArray
//   GUID                 -> QString "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
//   other codes          -> QString with the engine's text of the value
class Recordset {
public:
    virtual ~Recordset() = default;

    // Greater than 0 right after opening when the table has rows; exact after MoveLast.
    virtual long RecordCount() const = 0;
    // The number of rows the table definition counts, or -1 when unknown.
    // A damaged file can hold fewer readable rows than that.
    virtual long StoredRecordCount() const { return -1; }
    virtual bool Eof() const = 0;
    // A row that cannot be read is passed over: the moves go on with the next
    // rows and pages, and TakeSkippedRows tells which rows were passed over.
    virtual void MoveFirst() = 0;
    virtual void MoveNext() = 0;
    virtual void MoveLast() = 0;
    virtual void Close() = 0;
    // The rows passed over since the last call, in order. MoveLast counts
    // only the rows that can be read and reports none.
    virtual QList<SkippedRow> TakeSkippedRows() { return {}; }

    virtual const QList<Field>& Fields() const = 0;
    // Value of field i (0-based, field order) in the current row.
    virtual QVariant Value(int i) const = 0;
    // The same value into `cell`, whose text memory is reused. Raises as Value().
    virtual void ReadCell(int i, CellValue& cell) const { cell.assign(Value(i)); }
};

class Database {
public:
    virtual ~Database() = default;

    // Opens the file read-only. Raises TabrixError with a clear text when the
    // path is empty, the file is missing, unreadable, not an Access database
    // or truncated.
    static std::unique_ptr<Database> OpenDatabase(const QString& path);
    // The same over a regular file already open for reading (`path` names it
    // in messages and Name): the engine reads the file behind the descriptor,
    // whatever lies at the path by then.
    static std::unique_ptr<Database> OpenDatabase(QFile& file, const QString& path);

    virtual QString Name() const = 0;  // the path it was opened with

    // Every table definition of the file, system objects included (their
    // Attributes carry bits of dbSystemObjectMask), ordered by name as
    // Access lists them (case-insensitive).
    virtual const QList<TableDef>& TableDefs() const = 0;
    // The table definition of that name, ignoring case; raises TabrixError when absent.
    virtual const TableDef& GetTableDef(const QString& name) const = 0;

    // In the file's order.
    virtual const QList<Relation>& Relations() const = 0;
    // Every saved query, the hidden ones ("~sq_...", record sources of forms
    // and reports) included, ordered by name like TableDefs. A query whose
    // catalogue rows are damaged is listed with an empty SQL and SQLError set;
    // this never raises.
    virtual const QList<QueryDef>& QueryDefs() const = 0;

    // Opens the rows of a table, positioned on the first row. Raises
    // TabrixError when the table does not exist or cannot be read.
    virtual std::unique_ptr<Recordset> OpenRecordset(const QString& table) const = 0;
};

}  // namespace dao
