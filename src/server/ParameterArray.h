#pragma once

// Rows of values for one prepared statement sent with ODBC parameter arrays:
// one buffer per column (column-wise binding: MariaDB Connector/ODBC 3.1 sends
// one bulk command only for that, and one execute per row otherwise), filled
// row by row and sent in one execute by a ServerArrayStatement. Values go as
// the server is to store them: no literal, no escaping, NUL characters inside
// texts kept.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <vector>

// What a column of the statement takes.
enum class ParameterType {
    Whole,      // 64-bit whole numbers
    Decimal,    // exact decimals as text ("-12.3456"), which the server converts like a literal
    Double,     // doubles, sent as their bits
    Timestamp,  // calendar date and time of day
    Text,       // texts of any length
    Binary,     // bytes
};

// The layout of ODBC's SQL_TIMESTAMP_STRUCT, so that a column of them binds as it is.
struct ParameterTimestamp {
    qint16 year = 0;
    quint16 month = 0;
    quint16 day = 0;
    quint16 hour = 0;
    quint16 minute = 0;
    quint16 second = 0;
    quint32 fraction = 0;  // nanoseconds
    friend bool operator==(const ParameterTimestamp&, const ParameterTimestamp&) = default;
};

// One value of a row; a default-made value is NULL, whatever its column takes.
struct ParameterValue {
    ParameterType type = ParameterType::Whole;
    bool null = true;
    qint64 whole = 0;
    double real = 0;
    ParameterTimestamp timestamp;
    QString text;      // Decimal and Text
    QByteArray bytes;  // Binary

    static ParameterValue Null(ParameterType type);
    static ParameterValue Whole(qint64 value);
    static ParameterValue Decimal(const QString& digits);
    static ParameterValue Double(double value);
    static ParameterValue Timestamp(const ParameterTimestamp& value);
    static ParameterValue Text(const QString& value);
    static ParameterValue Binary(const QByteArray& value);

    // NULLs are equal whatever their type; a Double compares by its bits.
    friend bool operator==(const ParameterValue& a, const ParameterValue& b);
};

// Byte lengths as ODBC's SQLLEN (the .cpp checks that they are the same).
using ParameterLength = std::ptrdiff_t;

class ParameterArray {
public:
    // How texts are held: UTF-8 bytes (SQL_C_CHAR) or UTF-16 (SQL_C_WCHAR).
    enum class TextForm { Utf8, Utf16 };
    // The length of a NULL value (ODBC's SQL_NULL_DATA).
    static constexpr ParameterLength NullLength = -1;
    // Bytes a value adds to the command beyond its own (an indicator and a
    // length, as MariaDB's bulk command sends them).
    static constexpr qsizetype ValueOverhead = 10;
    // The buffers of one array stay below this unless a single row needs more.
    static constexpr qsizetype DefaultBufferBytes = 8 << 20;

    // An empty array for rows of these columns. maxPayload: the most bytes of
    // values one execute may carry (the server's largest packet); 0: no limit.
    ParameterArray(const QList<ParameterType>& columns, int maxRows, TextForm texts, qsizetype maxPayload = 0,
                   qsizetype maxBufferBytes = DefaultBufferBytes);

    const QList<ParameterType>& Columns() const { return m_types; }
    int MaxRows() const { return m_maxRows; }
    int Rows() const { return m_rows; }
    TextForm Texts() const { return m_texts; }
    // The bytes of values so far, with ValueOverhead for each.
    qsizetype Payload() const { return m_payload; }

    // Adds a row, one value per column, each NULL or of its column's type
    // (std::invalid_argument otherwise). Returns false and adds nothing when
    // the array is full: MaxRows rows, or the row would take the payload or
    // the buffers over their limits. An empty array takes any row.
    bool Append(const QList<ParameterValue>& row);
    // Empties the array; the buffers are kept for the next rows unless large.
    void Clear();

    // A value as it was appended (a text of UTF-8 arrays decoded again, with
    // U+FFFD for each half of a surrogate pair that stood alone).
    ParameterValue Value(int row, int column) const;

    // The column's buffers for binding: Width() bytes per row, and per row
    // the length of its value in bytes or NullLength.
    const void* Data(int column) const { return m_columns[column].data.data(); }
    qsizetype Width(int column) const { return m_columns[column].width; }
    const ParameterLength* Lengths(int column) const { return m_columns[column].lengths.data(); }

private:
    struct Column {
        qsizetype width = 0;
        std::vector<char> data;
        std::vector<ParameterLength> lengths;
    };
    // Bytes the value takes in its column's buffer.
    qsizetype bytesOf(ParameterType type, const ParameterValue& value) const;
    void write(int column, ParameterType type, const ParameterValue& value, qsizetype bytes);
    void widen(Column& column, qsizetype width) const;

    QList<ParameterType> m_types;
    std::vector<Column> m_columns;
    int m_maxRows;
    TextForm m_texts;
    qsizetype m_maxPayload;
    qsizetype m_maxBufferBytes;
    int m_rows = 0;
    qsizetype m_payload = 0;
    std::vector<qsizetype> m_needed;  // per column, while a row is appended
};
