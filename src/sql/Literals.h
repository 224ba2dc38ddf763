#pragma once

// Values as literals of each dialect: numbers, dates, binary data and texts,
// by the Access type of their field.

#include "access/AccessDatabase.h"
#include "core/Dialect.h"
#include "core/TabrixError.h"
#include "server/ParameterArray.h"
#include "sql/StatementBuffer.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>

#include <functional>
#include <optional>

// Receives an error met while rendering a value; the value keeps its text.
using RenderErrorSink = std::function<void(const TabrixError&)>;

// The shortest text of a Double that reads back to the same value, exactly as
// std::to_chars writes it; `out` has room for 32 characters. Returns the end.
char* WriteDouble(char* out, double value);

// Date literal. A special time field and an ordinary value with a time of day
// other than midnight are written with their time; a midnight value as a date.
QString DateLiteral(const QDate& date, const QTime& time, Dialect dialect, bool specialTime);

// Hexadecimal literal of the dialect (0x.., X'..', HEXTORAW('..'), BLOB(X'..')).
QString BinaryLiteral(const QByteArray& bytes, Dialect dialect);

// A text literal as a row value's: between apostrophes, each apostrophe
// inside doubled; on Sybase the right single quotation mark is left out (the
// server's code-page conversion would make an apostrophe of it).
QString QuotedText(const QString& text, Dialect dialect);

// One cell as a literal. A null cell is rendered from defaultText (the
// field's unquoted default). A special time field takes its date from
// dateBase when there is one.
QString RenderValue(const dao::Field& field, const QVariant& cell, const QString& defaultText, Dialect dialect,
                    bool specialTime = false, const std::optional<QDate>& dateBase = std::nullopt,
                    const RenderErrorSink& onError = {});

// The same into `out`. Returns whether a NUL character of a text had to be
// blanked (every dialect but MySQL gets a blank for it).
bool AppendValue(StatementBuffer& out, const dao::Field& field, const dao::CellValue& cell, const QString& defaultText,
                 Dialect dialect, bool specialTime, const std::optional<QDate>& dateBase,
                 const RenderErrorSink& onError);

// The parameter type a field's values go as in an array of rows.
ParameterType ParameterTypeOf(const dao::Field& field);

// A non-null cell (or a null one with its default) as a parameter that the
// server stores exactly as it stores AppendValue's literal; nullopt, with no
// error passed on, where no parameter does (the literal is to be sent).
// nulBlanked is set where AppendValue would return true.
std::optional<ParameterValue> CellParameter(const dao::Field& field, const dao::CellValue& cell,
                                            const QString& defaultText, Dialect dialect, bool specialTime,
                                            const std::optional<QDate>& dateBase, const RenderErrorSink& onError,
                                            bool& nulBlanked);

// The text of a cell before rendering: "TRUE"/"FALSE", decimal numbers with
// '.', dates as "dd.MM.yyyy HH:mm:ss", texts as they are.
QString CellText(const dao::CellValue& cell);

// A date as Access users enter it in a default: German or ISO form.
std::optional<QDateTime> ParseDateText(const QString& text);
