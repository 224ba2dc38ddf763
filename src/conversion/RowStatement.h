#pragma once

// The INSERT statement of one Access row: the values written as literals of
// the dialect, null cells without default left out.

#include "access/AccessDatabase.h"
#include "conversion/ConversionHost.h"
#include "core/Dialect.h"
#include "core/TabrixError.h"
#include "sql/Literals.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

// Date/Time fields written with their time of day on the date of the first
// row's "datum" (Terminkalender: zeit, zeit1; Formularprotokoll: uhrzeit).
struct SpecialTimeFields {
    QList<int> positions;           // 0-based field positions
    std::optional<QDate> dateBase;  // absent: the value's own date
    bool contains(int position) const { return positions.contains(position); }
};

// Thrown when a cell of the row cannot be read (a damaged file): the whole
// row is passed over, and the next row is built afresh.
struct RowUnreadable {
    TabrixError error;
};

// Builds the INSERT statements of one table. Column names are written once,
// as the CREATE TABLE statement wrote them; the columns the table creation
// leaves out (see Transferable) are left out here too.
class RowStatementBuilder {
public:
    RowStatementBuilder(const QString& table, const QList<dao::Field>& fields, Dialect dialect,
                        SpecialTimeFields special = {});

    // "INSERT INTO T (cols) VALUES (values)"; empty when every cell is null
    // without default.
    QString InsertStatement(const QList<QVariant>& row, const ConversionOptions& options,
                            const RenderErrorSink& onError = {});
    // The same into `statement`, whose memory is reused from row to row, with
    // the settings read only when a null cell needs its default.
    void InsertStatement(QString& statement, const dao::Recordset& rs,
                         const std::function<ConversionOptions()>& options, const RenderErrorSink& onError);

    // The row's values "(…)" alone, for an INSERT of many rows, into `values`;
    // false when every cell is null without default. Columns() is then the
    // "INSERT INTO T (columns) VALUES " they belong to.
    bool RowValues(QString& values, const dao::Recordset& rs, const std::function<ConversionOptions()>& options,
                   const RenderErrorSink& onError);
    const QString& Columns() const { return m_prefix; }

    // For an array of rows: reads the current row; false when every cell is
    // null without default. Columns() and cells() are then the row's.
    bool ReadRow(const dao::Recordset& rs, const std::function<ConversionOptions()>& options);
    // The included cells of the row read, as parameters; false when one of
    // them cannot reach the server as its literal would (the row is then to
    // be written with literals). Errors are passed on only when true.
    bool RowParameters(QList<ParameterValue>& values, const RenderErrorSink& onError);

    // The dialect is read for every row: names and literals follow a change.
    Dialect dialect() const { return m_dialect; }
    void setDialect(Dialect dialect);

private:
    // Reads the row's cells and writes the column list when it changed; false
    // when no cell goes into the statement.
    template <typename ReadCell, typename Options>
    bool readRow(const ReadCell& readCell, const Options& options);
    void writeValues(StatementBuffer& out, const RenderErrorSink& onError);
    template <typename Cells>
    void writeValues(StatementBuffer& out, const Cells& cells, const RenderErrorSink& onError);
    void readDefaults(const ConversionOptions& options);
    template <typename ReadCell, typename Options>
    void buildInto(QString& statement, const ReadCell& readCell, const Options& options,
                   const RenderErrorSink& onError);
    void writeNames();

    QString m_table;
    QString m_head;              // "INSERT INTO T "
    QList<dao::Field> m_fields;  // the transferable ones
    QList<int> m_sources;        // their places among the recordset's fields
    QStringList m_names;
    Dialect m_dialect;
    SpecialTimeFields m_special;

public:
    // A text held a NUL character that this dialect gets as a blank.
    bool nulBlanked() const { return m_nulBlanked; }

private:
    bool m_nulBlanked = false;

public:
    // The cells of the row last built, kept from row to row so that their memory is reused.
    struct Cell {
        dao::CellValue value;
        bool included = false;
        QString defaultText;  // of a null cell: what the statement writes in its place
    };
    const QList<Cell>& cells() const { return m_cells; }
    // Appends the values "(…)" of cells read before (cells() of an earlier
    // row) as RowValues wrote them; their errors were reported then.
    void WriteValues(QString& values, const QList<Cell>& cells);

private:
    QList<Cell> m_cells;
    QList<TabrixError> m_parameterErrors;
    // Per field: what an empty cell is written as, and whether the server
    // has a default of its own for the column; for the settings last read.
    struct Default {
        QString rowValue;
        bool onServer = false;
    };
    QList<Default> m_defaults;
    std::optional<ConversionOptions> m_defaultsFor;
    // "INSERT INTO T (columns) VALUES " for the cells last included.
    QString m_prefix;
    bool m_prefixValid = false;
    // The longest statement so far: room made in the buffer before writing.
    qsizetype m_longestStatement = 256;
};
