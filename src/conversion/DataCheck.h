#pragma once

// The check that a table's data arrived. While the copy sends the rows it
// gathers, per column, the figures of the values it sent: cells that are not
// empty, sums (exact for whole numbers, Currency and Decimal), smallest and
// largest values, the characters of texts. After the copy one aggregate query
// asks the server for the same figures, and every figure that differs becomes
// one line of the error log. Where a dialect cannot give a figure exactly, the
// figure is left out rather than compared loosely (see Query()).

#include "access/DaoTypes.h"
#include "conversion/RowStatement.h"
#include "core/Dialect.h"
#include "core/Outcomes.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <array>
#include <compare>
#include <optional>

class ServerConnection;
class TableRun;

// Rows of the file that the copy itself did not send: counted as such, never
// as a difference.
enum class LeftOutRows {
    Damaged,            // the engine could not read them
    OtherWorkstations,  // another workstation's share
    WithoutValues,      // every cell null without a default: no statement
    StructureOnly,      // "Nur Struktur anlegen"
};

// A decimal number held exactly: units × 10^-scale.
struct ExactNumber {
    __int128 units = 0;
    int scale = 0;

    // "12.5", "-0.0001", "1.5E+3" (blanks around, a comma for the point); nothing for anything else.
    static std::optional<ExactNumber> parse(QStringView text);
    // Without trailing zeros after the point, so that equal values are equal.
    ExactNumber normalised() const;
    // -1, 0 or 1.
    static int compare(const ExactNumber& a, const ExactNumber& b);
    // German format: "1.234.567,89".
    QString german() const;
};

// A date and time to the second, ordered as the calendar.
struct DateKey {
    qint64 seconds = 0;  // yyyyMMddhhmmss as one number
    int micros = 0;      // a server's fraction of a second
    friend auto operator<=>(const DateKey&, const DateKey&) = default;
    QString german() const;  // "05.03.2024 14:07:09"
};

class DataCheck {
public:
    // `fields`: the columns the row statements write, in their order; addCell
    // numbers them the same way.
    DataCheck(QString table, QList<dao::Field> fields, Dialect dialect);

    // The Date/Time fields the copy writes with a time of day on the date of
    // the first row (Terminkalender, Formularprotokoll).
    void setSpecialTimeFields(SpecialTimeFields special) { m_special = std::move(special); }

    // Once for each row sent, before its cells.
    void addRow() { ++m_rows; }
    // One cell of that row as read (Recordset::ReadCell) and, for a null
    // cell, the unquoted default the row statement writes in its place
    // (SQLDefault(field, false, options)); a null cell without default
    // stays null on the server.
    void addCell(int column, const dao::CellValue& cell, const QString& defaultText = QString());
    // Rows of the file the copy did not send, and why.
    void leaveOut(LeftOutRows why, qint64 rows = 1);

    const QString& table() const { return m_table; }
    qint64 rowsSent() const { return m_rows; }
    // "2 beschädigte Datensätze, 1 Datensatz ohne Werte"; empty when every row was sent.
    QString leftOutText() const;
    // Why the figures cannot be compared at all (other workstations fill the
    // same table, only the structure was made); empty when they can.
    QString notComparable() const;

    // The aggregate query: COUNT(*), then per column its figures in field order.
    QString Query() const;
    // The figures Query() asks for, COUNT(*) included.
    int figureCount() const { return int(m_wanted.size()); }
    // The server's answer, one value per column of Query(), against the file's figures.
    DataCheckOutcome Compare(const QList<QVariant>& answer) const;

private:
    enum class Class { Flag, Whole, Money, Decimal, Single, Double, Date, Text, Other };
    enum class Figure { Rows, Cells, TrueCount, Sum, Min, Max, Characters };
    struct Extreme {
        bool set = false;
        ExactNumber exact;
        double real = 0;
        DateKey date;
    };
    struct Column {
        dao::Field field;
        Class kind = Class::Other;
        int sumScale = 0;  // the scale sums are kept at
        qint64 cells = 0;
        qint64 emptyTexts = 0;
        qint64 characters = 0;
        qint64 trues = 0;
        ExactNumber sum;
        bool sumExact = true;  // false once a value had more places than the column keeps
        Extreme min, max;
        QString defaultText;  // the last default seen, and its value
        dao::CellValue defaultValue;
    };
    struct Wanted {
        int column;  // -1 for the rows
        Figure figure;
    };

    void tally(Column& c, int position, const dao::CellValue& value);
    void addExact(Column& c, const ExactNumber& value);
    QString expression(const Wanted& w) const;
    QString columnName(int column) const;
    DataDifference difference(const Wanted& w, const QString& inFile, const QString& onServer) const;

    QString m_table;
    Dialect m_dialect;
    QList<Column> m_columns;
    QList<Wanted> m_wanted;
    SpecialTimeFields m_special;
    qint64 m_rows = 0;
    std::array<qint64, 4> m_leftOut{};
};

// Runs the check of one table on the connection: the query, then its answer
// compared. A query the server refuses leaves the table not checked, with the
// server's text.
DataCheckOutcome RunDataCheck(ServerConnection& connection, const DataCheck& check);

// The same for a table of the conversion, on the host's connection: each
// difference, or why the table was not checked, goes into the error log.
DataCheckOutcome RunDataCheck(TableRun& run, const DataCheck& check);
