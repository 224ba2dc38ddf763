// Parameter arrays without a server: the buffers, their limits, and the
// recording connection's stand-in statement.

#include "server/ParameterArray.h"

#include "RecordingConnection.h"
#include "core/TabrixError.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

namespace {
using T = ParameterType;
using V = ParameterValue;
using Form = ParameterArray::TextForm;

// Each column gets a first value, a NULL and a second value, in rows 0, 1, 2.
struct Column {
    const char* name;
    T type;
    V first, second;
};
const QList<Column> columns = {
    {"whole", T::Whole, V::Whole(std::numeric_limits<qint64>::min()), V::Whole(0)},
    {"decimal", T::Decimal, V::Decimal(QStringLiteral("-922337203685477.5808")), V::Decimal(QStringLiteral("0.0001"))},
    {"double (negative zero keeps its sign)", T::Double, V::Double(0.1), V::Double(-0.0)},
    {"timestamp", T::Timestamp, V::Timestamp({100, 1, 1, 0, 0, 0, 0}), V::Timestamp({9999, 12, 31, 23, 59, 59, 0})},
    {"text with NUL, Ø and one beyond 16 bits", T::Text, V::Text(QString::fromUtf16(u"a\0Ø😀", 5)), V::Text({})},
    {"a long text widens the column, keeping row 0", T::Text, V::Text(QStringLiteral("kurz")),
     V::Text(QString(5000, QChar(0x00E4)))},
    {"binary with zero bytes", T::Binary, V::Binary(QByteArray("\0\xFF\0", 3)), V::Binary(QByteArray(70, 'b'))},
};
}  // namespace

TEST(ParameterArray, EveryKindReadsBackAsAppendedInBothTextForms)
{
    QList<T> types;
    QList<V> first, nulls, second;
    for (const Column& c : columns) {
        types << c.type;
        first << c.first;
        nulls << V();
        second << c.second;
    }
    for (const Form form : {Form::Utf8, Form::Utf16}) {
        ParameterArray array(types, 10, form);
        for (const QList<V>& row : {first, nulls, second})
            ASSERT_TRUE(array.Append(row));
        for (int c = 0; c < columns.size(); ++c) {
            SCOPED_TRACE(columns[c].name);
            EXPECT_EQ(array.Value(0, c), columns[c].first);
            EXPECT_TRUE(array.Value(1, c).null);
            EXPECT_EQ(array.Value(2, c), columns[c].second);
        }
        // A half of a surrogate pair alone: no UTF-8 holds it.
        array.Clear();
        ASSERT_TRUE(array.Append({V(), V(), V(), V(), V::Text(QString(QChar(0xD800))), V(), V()}));
        EXPECT_EQ(array.Value(0, 4).text, QString(QChar(form == Form::Utf8 ? 0xFFFD : 0xD800)));
    }
}

TEST(ParameterArray, AnArrayIsFullAtItsRowsItsPayloadOrItsBuffers)
{
    // Rows of a whole number and a text of 100 bytes: 128 bytes of payload each.
    const QList<V> row = {V::Whole(1), V::Text(QString(100, QLatin1Char('x')))};
    struct Case {
        const char* name;
        int maxRows;
        qsizetype maxPayload, maxBuffers;
        int taken;
    } cases[] = {
        {"rows", 3, 0, 1 << 20, 3},
        {"payload", 1000, 3 * 128, 1 << 20, 3},
        {"buffers (8 + at least 100 bytes a row)", 1000, 0, 4 * 108 + 40, 4},
        {"an empty array takes any row", 1000, 10, 10, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParameterArray array({T::Whole, T::Text}, c.maxRows, Form::Utf8, c.maxPayload, c.maxBuffers);
        for (int round = 0; round < 2; ++round) {
            while (array.Append(row)) {
            }
            EXPECT_EQ(array.Rows(), c.taken);
            array.Clear();
        }
    }
    ParameterArray array({T::Whole}, 10, Form::Utf8);
    EXPECT_THROW(array.Append({V::Double(1)}), std::invalid_argument);
    EXPECT_THROW(array.Append({V(), V()}), std::invalid_argument);
    EXPECT_EQ(array.Rows(), 0);
}

TEST(RecordingConnection, RecordsArraysAndRefusesChosenRows)
{
    RecordingConnection connection;
    const QString insert = QStringLiteral("INSERT INTO t (a,b,c,d) VALUES (?,?,?,?)");
    auto statement = connection.PrepareArray(insert, {T::Whole, T::Text, T::Timestamp, T::Binary}, 10);
    ParameterArray array = statement->NewArray();
    array.Append({V::Whole(1), V::Text(QString::fromUtf16(u"it's\0x", 6)), V::Timestamp({2024, 2, 29, 7, 5, 0, 0}),
                  V::Binary("\x01\xAB")});
    array.Append({V::Whole(2), V(), V(), V()});
    const QString recorded =
        insert + QStringLiteral(" <- (1,'it''s\\0x',TIMESTAMP'2024-02-29 07:05:00',0x01AB),(2,NULL,NULL,NULL)");
    EXPECT_EQ(statement->Execute(array), QList<ArrayRowState>({ArrayRowState::Stored, ArrayRowState::Stored}));
    connection.refuseRowWhenContains(QStringLiteral("(2,"), QStringLiteral("23000:Duplicate entry '2'"));
    EXPECT_THROW(statement->Execute(array), TabrixError);
    connection.arraysFailWhole = false;
    EXPECT_EQ(statement->Execute(array), QList<ArrayRowState>({ArrayRowState::Stored, ArrayRowState::Refused}));
    EXPECT_EQ(connection.statements, QStringList({recorded, recorded, recorded}));
}
