#pragma once

// The SQL text of a saved query, rebuilt from its rows in the query catalogue
// (MSysQueries) the way Access shows it. The file keeps no text for ordinary
// queries: each piece (kind, flags, tables, joins, columns, criteria,
// grouping, order, parameters) is a row, and Access writes the statement from
// them. Pure functions over the rows' values: tests call them without a file.

#include <QByteArray>
#include <QList>
#include <QString>

namespace jet {

// What a row of the query catalogue describes (its Attribute column).
enum QueryAttribute : int {
    qaStart = 0,
    qaType = 1,
    qaParameter = 2,
    qaFlags = 3,
    qaRemoteDatabase = 4,
    qaTable = 5,
    qaColumn = 6,
    qaJoin = 7,
    qaWhere = 8,
    qaGroupBy = 9,
    qaHaving = 10,
    qaOrderBy = 11,
    // Written by Access 2007 and later, one row per query with only a Flag: in
    // Access's 2010 Northwind 2 where the query's output holds a multi-valued
    // or attachment column (its object then has 0x40000 in MSysObjects' Flags),
    // else 1. No name, no expression: no piece of the statement (Jackcess too
    // writes the text without it).
    qaComplexOutput = 12,
    qaEnd = 255,
};

// One row of the query catalogue; a null cell is a null QString or 0.
struct QueryRow {
    int attribute = 0;
    QByteArray order;  // the row's place among the rows of its attribute
    QString name1;
    QString name2;
    QString expression;
    int flag = 0;   // 16-bit as stored
    int extra = 0;  // LvExtra (Jet 4 only): the size of a Text parameter
};

struct QueryText {
    int type = 0;  // DAO's QueryDefTypeEnum (dao::QueryDefType)
    QString sql;
};

// The kind and the text Access shows for the query made of these rows (in any
// order): clauses on lines joined by CR LF and a closing ";" (pass-through and
// data-definition queries: their stored text as it stands). Throws
// TabrixError with a German description of what is wrong when the rows do not
// describe a query (no kind, an unknown kind or piece, a join to a table the
// query does not use, ...). objectType is DAO's type from the object's flags
// in MSysObjects (flags & 0xF0), or -1: it gives the kind of a query whose
// rows lack the type row, as Access does.
QueryText querySql(const QList<QueryRow>& rows, int objectType = -1);

}  // namespace jet
