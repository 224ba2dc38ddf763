#pragma once

// Reading the SQL text of a saved Access query into a tree. Only select and
// union queries are read in full; parameter, crosstab and action queries and
// queries that ask a form for a value are recognised and named, since none of
// them can become a server view. The writers for the servers are in
// AccessSqlWriter.h.
//
// Everything here is a function of its arguments. A text that cannot be read
// gives a German reason, never an exception: the reading is iterative where
// the text may repeat without end (lists, operator chains, unions) and stops
// at kMaxNesting where it has to recurse (parentheses, subqueries, joins,
// prefix operators), so the work and the depth of the tree stay bounded.

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace accesssql {

// Parentheses, subqueries, function calls, chained joins and prefix operators
// (Not, minus) together may nest this deep. Access itself gives up far earlier.
constexpr int kMaxNesting = 100;

enum class TokenKind {
    Word,       // a bare name or key word: letters, digits, "_", "$"
    Bracketed,  // [Order Details], without the brackets
    Text,       // "..." or '...', without the quotes, doubled quotes made single
    Date,       // #...#, the inside only
    Number,     // as written: 10, 1.5, 2E-3
    Symbol,     // ( ) , ; . ! * + - / \ ^ & = <> < > <= >=
    End,        // after the last token
};

struct Token {
    TokenKind kind = TokenKind::End;
    QString text;
    qsizetype position = 0;  // offset of its first character in the text
};

struct Tokens {
    std::vector<Token> tokens;  // always ends with an End token
    QString reason;             // why the text could not be read to its end; empty when it could
};

Tokens Tokenize(const QString& text);

struct DateTimeValue {
    int year = 1899, month = 12, day = 30;  // Access's day zero when only a time is given
    int hour = 0, minute = 0, second = 0;
    bool hasTime = false;
};

// The inside of a #...# literal in Access's US order: m/d/yy or m/d/yyyy (also
// with "-"), yyyy-m-d, each optionally followed by h:mm[:ss] [AM|PM], or a
// time alone. Two-digit years 00-29 are 20xx, 30-99 19xx. A month above 12
// with a day up to 12 is read day first, as Access does. False when the text
// is no valid date.
bool ReadDateLiteral(const QString& inside, DateTimeValue& value);

struct Query;

enum class ExprKind {
    Name,     // parts: [Order Details].UnitPrice -> {"Order Details", "UnitPrice"}
    Star,     // parts: the qualifier of t.*, empty for *
    Text,     // text: the value
    Number,   // text: as written
    Date,     // date
    Boolean,  // boolean: True/Yes/On or False/No/Off
    Null,
    Call,      // text: the function name as written; args
    Negate,    // args[0]
    Not,       // args[0]
    Chain,     // chain; args: the operands; ops: the operator before each operand after the first
    Compare,   // text: = <> < > <= >=; args[0] and args[1], or args[0] and query with quantifier
    Like,      // args[0] Like args[1]
    In,        // args[0] In (args[1], ...) or args[0] In (query)
    Between,   // args[0] Between args[1] And args[2]
    IsNull,    // args[0] Is Null
    Exists,    // Exists (query)
    Subquery,  // (query) used as a value
};

// Operators that may repeat at one level, loosest first. A chain keeps its
// operands in a list, so a long run of them adds no depth to the tree.
enum class Chain { Imp, Eqv, Xor, Or, And, Concat, Add, Mod, IntDiv, Mul, Power };

struct Expr {
    ExprKind kind = ExprKind::Null;
    qsizetype position = 0;
    QString text;
    QStringList parts;
    Chain chain = Chain::Or;
    QStringList ops;
    std::vector<std::unique_ptr<Expr>> args;
    std::unique_ptr<Query> query;
    QString quantifier;    // ANY, SOME or ALL in upper case when a comparison takes a subquery
    bool negated = false;  // Not Like, Not In, Not Between, Is Not Null
    bool boolean = false;
    DateTimeValue date;
};
using ExprPtr = std::unique_ptr<Expr>;

enum class JoinKind { Inner, Left, Right };

struct TableRef;
using TableRefPtr = std::unique_ptr<TableRef>;

struct TableRef {
    enum class Kind { Table, Subquery, Join } kind = Kind::Table;
    QStringList name;              // Table
    QString alias;                 // Table, Subquery; empty when there is none
    std::unique_ptr<Query> query;  // Subquery
    JoinKind join = JoinKind::Inner;
    TableRefPtr left, right;  // Join
    ExprPtr on;               // Join
};

struct SelectItem {
    ExprPtr expr;
    QString alias;  // empty when there is none
};

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
};

struct Select {
    enum class Quantifier { All, Distinct, DistinctRow } quantifier = Quantifier::All;
    QString top;  // the number after TOP as written; empty without TOP
    bool topPercent = false;
    std::vector<SelectItem> items;
    std::vector<TableRefPtr> from;  // comma-separated
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
};

// A select query is a union of one part. The ORDER BY after the last part
// belongs to the whole union, as in Access.
struct Query {
    std::vector<Select> parts;
    std::vector<bool> unionAll;  // between part i and i + 1
    std::vector<OrderItem> orderBy;
};

enum class Statement {
    Select,         // query holds the tree
    Parameters,     // PARAMETERS ...
    Crosstab,       // TRANSFORM ...
    FormReference,  // Forms!... or Reports!...
    Action,         // INSERT, UPDATE, DELETE, SELECT ... INTO, data definition
    Unreadable,     // not readable, or readable but beyond what a view can hold
};

struct ParsedQuery {
    Statement statement = Statement::Unreadable;
    std::unique_ptr<Query> query;  // Select only
    QString reason;                // all others: German, one line
};

ParsedQuery ParseAccessQuery(const QString& text);

}  // namespace accesssql
