#pragma once

// Row copy of the table conversion: one INSERT statement per Access row, the
// values written as literals of the dialect.

#include "conversion/ConversionHost.h"
#include "access/AccessDatabase.h"
#include "core/Dialect.h"
#include "core/TabrixError.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>
#include <QVariant>

#include <functional>
#include <optional>

// Receives an error met while rendering a value; the value keeps its text.
using RenderErrorSink = std::function<void(const TabrixError&)>;

// Date/Time fields written with their time of day on the date of the first
// row's "datum" (Terminkalender: zeit, zeit1; Formularprotokoll: uhrzeit).
struct SpecialTimeFields {
    QList<int> positions;           // 0-based field positions
    std::optional<QDate> dateBase;  // absent: the value's own date
    bool contains(int position) const { return positions.contains(position); }
};

// Whether this workstation copies row n (1-based) of a shared copy.
bool RowIsCopied(long n, double count, double number);

// Status line of the copy: "n/total (skipped)  :  percent%".
QString CopyStatusText(long n, long total, long skipped);

// The shortest text of a Double that reads back to the same value, exactly as
// std::to_chars writes it; `out` has room for 32 characters. Returns the end.
char* WriteDouble(char* out, double value);

// Text of a workstation box as a number; TabrixError 13 when it is none.
double ReadWorkstationNumber(const QString& text);

// Date literal. A special time field and an ordinary value with a time of day
// other than midnight are written with their time; a midnight value as a date.
QString DateLiteral(const QDate& date, const QTime& time, Dialect dialect, bool specialTime);

// Hexadecimal literal of the dialect (0x.., X'..', HEXTORAW('..'), BLOB(X'..')).
QString BinaryLiteral(const QByteArray& bytes, Dialect dialect);

// One cell as a literal. A null cell is rendered from defaultText (the
// field's unquoted SQLDefault). specialTime/dateBase as in SpecialTimeFields.
QString RenderValue(const dao::Field& field, const QVariant& cell, const QString& defaultText, Dialect dialect,
                    bool specialTime = false, const std::optional<QDate>& dateBase = std::nullopt,
                    const RenderErrorSink& onError = {});

// Builds the INSERT statements of one table. Column names are written once,
// as the CREATE TABLE statement wrote them.
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

    // The dialect is read for every row: names and literals follow a change.
    Dialect dialect() const { return m_dialect; }
    void setDialect(Dialect dialect);

private:
    template <typename ReadCell, typename Options>
    void buildInto(QString& statement, const ReadCell& readCell, const Options& options, const RenderErrorSink& onError);
    void writeNames();

    QString m_table;
    QString m_head;  // "INSERT INTO T "
    QList<dao::Field> m_fields;
    QStringList m_names;
    Dialect m_dialect;
    SpecialTimeFields m_special;
public:
    // A text held a NUL character that this dialect gets as a blank.
    bool nulBlanked() const { return m_nulBlanked; }

private:
    bool m_nulBlanked = false;
    // Kept from row to row so that their memory is reused.
    struct Cell {
        dao::CellValue value;
        bool included = false;
        QString defaultText;
    };
    QList<Cell> m_cells;
    // "INSERT INTO T (columns) VALUES " for the cells last included.
    QString m_prefix;
    bool m_prefixValid = false;
    // The longest statement so far: room made in the buffer before writing.
    qsizetype m_longestStatement = 256;
};

// Copies the rows of rs (positioned on its first row) into the host's table.
void RunCopyLoop(ConversionHost& host, dao::Recordset& rs, const TableFlags& flags);
