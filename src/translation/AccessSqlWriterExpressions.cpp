#include "translation/AccessSqlWriterParts.h"

namespace accesssql::writer {

namespace {

bool isLiteral(const Expr& e)
{
    return e.kind == ExprKind::Text || e.kind == ExprKind::Number || e.kind == ExprKind::Date
        || e.kind == ExprKind::Boolean;
}

bool isCondition(const Expr& e)
{
    switch (e.kind) {
    case ExprKind::Not:
    case ExprKind::Compare:
    case ExprKind::Like:
    case ExprKind::In:
    case ExprKind::Between:
    case ExprKind::IsNull:
    case ExprKind::Exists:
        return true;
    case ExprKind::Chain:
        return e.chain == Chain::Or || e.chain == Chain::And || e.chain == Chain::Xor || e.chain == Chain::Eqv
            || e.chain == Chain::Imp;
    case ExprKind::Call:
        return isIsNullCall(e);
    default:
        return false;
    }
}

int precedence(const Expr& e)
{
    switch (e.kind) {
    case ExprKind::Negate:
        return kNegate;
    case ExprKind::Not:
        return kNot;
    case ExprKind::Compare:
    case ExprKind::Like:
    case ExprKind::In:
    case ExprKind::Between:
    case ExprKind::IsNull:
        return kCompare;
    case ExprKind::Call:
        return isIsNullCall(e) ? kCompare : kAtom;
    case ExprKind::Chain:
        switch (e.chain) {
        case Chain::Or:
            return kOr;
        case Chain::Xor:
            return kXor;
        case Chain::And:
            return kAnd;
        case Chain::Add:
            return kAdd;
        case Chain::Mul:
        case Chain::IntDiv:
        case Chain::Mod:
            return kMul;
        default:
            return kAtom;
        }
    default:
        return kAtom;
    }
}

}  // namespace

void Writer::expr(const Expr& e, int minPrecedence, Context context)
{
    if (out_.size() > limit_)
        cannot(QStringLiteral("Die Übersetzung wird zu lang."));
    if (!mySql_) {
        const bool condition = isCondition(e);
        if (context == Context::Condition && !condition) {
            // Access takes any number but 0 for true.
            const bool parentheses = kCompare < minPrecedence;
            if (parentheses)
                put("(");
            plain(e, kCompare + 1);
            put(" <> 0");
            if (parentheses)
                put(")");
            return;
        }
        if (context == Context::Value && condition) {
            // True, false or Null as Access has them (as 1 rather than -1 for true).
            put("CASE WHEN ");
            plain(e, kLoosest);
            put(" THEN 1 WHEN NOT ");
            plain(e, kNot + 1);
            put(" THEN 0 END");
            return;
        }
    }
    plain(e, minPrecedence);
}

void Writer::plain(const Expr& e, int minPrecedence)
{
    const bool parentheses = precedence(e) < minPrecedence;
    if (parentheses)
        put("(");
    natural(e);
    if (parentheses)
        put(")");
}

void Writer::natural(const Expr& e)
{
    switch (e.kind) {
    case ExprKind::Name:
        put(qualified(e.parts, dialect_));
        return;
    case ExprKind::Star:
        if (!e.parts.isEmpty()) {
            put(qualified(e.parts, dialect_));
            put(".");
        }
        put("*");
        return;
    case ExprKind::Text:
        put(literal(e.text, dialect_));
        return;
    case ExprKind::Number:
        put(e.text);
        return;
    case ExprKind::Date:
        put(dateLiteral(e.date, dialect_));
        return;
    case ExprKind::Boolean:
        put(e.boolean ? "1" : "0");
        return;
    case ExprKind::Null:
        put("NULL");
        return;
    case ExprKind::Call:
        call(e);
        return;
    case ExprKind::Negate:
        // Two minus signs in a row would start a comment.
        if (e.args[0]->kind == ExprKind::Negate) {
            put("-(");
            expr(*e.args[0], kLoosest, Context::Value);
            put(")");
        } else {
            put("-");
            expr(*e.args[0], kNegate, Context::Value);
        }
        return;
    case ExprKind::Not:
        // SQL Server wants a predicate or parentheses after NOT, never another NOT.
        put("NOT ");
        expr(*e.args[0], kNot + 1, Context::Condition);
        return;
    case ExprKind::Chain:
        chain(e);
        return;
    case ExprKind::Compare:
        expr(*e.args[0], kCompare + 1, Context::Value);
        put(" ");
        put(e.text);
        put(" ");
        if (e.query) {
            put(e.quantifier);
            put(" (");
            query(*e.query, false);
            put(")");
        } else {
            expr(*e.args[1], kCompare + 1, Context::Value);
        }
        return;
    case ExprKind::Like:
        like(e);
        return;
    case ExprKind::In:
        expr(*e.args[0], kCompare + 1, Context::Value);
        put(e.negated ? " NOT IN (" : " IN (");
        if (e.query) {
            query(*e.query, false);
        } else {
            for (size_t i = 1; i < e.args.size(); ++i) {
                if (i > 1)
                    put(", ");
                expr(*e.args[i], kLoosest, Context::Value);
            }
        }
        put(")");
        return;
    case ExprKind::Between:
        expr(*e.args[0], kCompare + 1, Context::Value);
        put(e.negated ? " NOT BETWEEN " : " BETWEEN ");
        expr(*e.args[1], kCompare + 1, Context::Value);
        put(" AND ");
        expr(*e.args[2], kCompare + 1, Context::Value);
        return;
    case ExprKind::IsNull:
        expr(*e.args[0], kCompare + 1, Context::Value);
        put(e.negated ? " IS NOT NULL" : " IS NULL");
        return;
    case ExprKind::Exists:
        put("EXISTS (");
        query(*e.query, false);
        put(")");
        return;
    case ExprKind::Subquery:
        put("(");
        query(*e.query, false);
        put(")");
        return;
    }
}

// The operands with the operator text before each but the first; operands
// after the first bind one step tighter, as all these operators group to
// the left.
void Writer::operands(const Expr& e, int level, Context context, const char* op)
{
    for (size_t i = 0; i < e.args.size(); ++i) {
        if (i > 0)
            put(op ? QString::fromLatin1(op) : QLatin1Char(' ') + e.ops[i - 1] + QLatin1Char(' '));
        expr(*e.args[i], i == 0 ? level : level + 1, context);
    }
}

void Writer::chain(const Expr& e)
{
    switch (e.chain) {
    case Chain::Imp:
        cannot(QStringLiteral("Operator Imp nicht übersetzbar"));
    case Chain::Eqv:
        cannot(QStringLiteral("Operator Eqv nicht übersetzbar"));
    case Chain::Xor:
        if (!mySql_)
            cannot(QStringLiteral("Operator Xor ist auf MS SQL nicht übersetzbar"));
        operands(e, kXor, Context::Condition, " XOR ");
        return;
    case Chain::Or:
        operands(e, kOr, Context::Condition, " OR ");
        return;
    case Chain::And:
        operands(e, kAnd, Context::Condition, " AND ");
        return;
    // Access's + adds numbers and joins texts, Null in either case giving
    // Null. The types are not known here, so + stays: SQL Server joins
    // texts with it too, MySQL adds them as numbers.
    case Chain::Add:
        if (mySql_ && isDateValued(*e.args[0])) {
            dateArithmetic(e);
            return;
        }
        if (!mySql_ && e.args[0]->kind == ExprKind::Date) {
            // SQL Server adds days to a datetime, but to a text as a number.
            put("CAST(");
            expr(*e.args[0], kLoosest, Context::Value);
            put(" AS DATETIME)");
            for (size_t i = 1; i < e.args.size(); ++i) {
                put(QLatin1Char(' ') + e.ops[i - 1] + QLatin1Char(' '));
                expr(*e.args[i], kAdd + 1, Context::Value);
            }
            return;
        }
        operands(e, kAdd, Context::Value, nullptr);
        return;
    case Chain::Concat:
        concat(e);
        return;
    case Chain::Mul:
        if (!e.ops.contains(QLatin1String("/"))) {
            operands(e, kMul, Context::Value, nullptr);
            return;
        }
        // Access divides as Double: integers would divide as integers on
        // SQL Server and to four places on MySQL. A Double at the start
        // makes every later step one.
        put("CAST(");
        expr(*e.args[0], kLoosest, Context::Value);
        put(mySql_ ? " AS DOUBLE)" : " AS FLOAT)");
        for (size_t i = 1; i < e.args.size(); ++i) {
            put(QLatin1Char(' ') + e.ops[i - 1] + QLatin1Char(' '));
            expr(*e.args[i], kMul + 1, Context::Value);
        }
        return;
    case Chain::IntDiv:
        if (mySql_) {
            operands(e, kMul, Context::Value, " DIV ");
            return;
        }
        // Integer division on SQL Server is "/" between integers.
        for (size_t i = 0; i < e.args.size(); ++i) {
            put(i == 0 ? "CAST(" : " / CAST(");
            expr(*e.args[i], kLoosest, Context::Value);
            put(" AS INT)");
        }
        return;
    case Chain::Mod:
        operands(e, kMul, Context::Value, mySql_ ? " MOD " : " % ");
        return;
    case Chain::Power:
        // a ^ b ^ c groups to the left: POWER(POWER(a, b), c). Access's
        // result is a Double; SQL Server's POWER keeps the type of a.
        for (size_t i = 1; i < e.args.size(); ++i)
            put("POWER(");
        if (!mySql_)
            put("CAST(");
        expr(*e.args[0], kLoosest, Context::Value);
        if (!mySql_)
            put(" AS FLOAT)");
        for (size_t i = 1; i < e.args.size(); ++i) {
            put(", ");
            expr(*e.args[i], kLoosest, Context::Value);
            put(")");
        }
        return;
    }
}

// Date() - 30 counts days in Access; MySQL would take the date for a
// number (19950101 - 30). Whole numbers added to what is surely a date
// become day intervals; the types of anything else are not known here.
void Writer::dateArithmetic(const Expr& e)
{
    expr(*e.args[0], kAdd, Context::Value);
    for (size_t i = 1; i < e.args.size(); ++i) {
        const Expr& operand = *e.args[i];
        bool whole = false;
        operand.text.toLongLong(&whole);
        put(QLatin1Char(' ') + e.ops[i - 1] + QLatin1Char(' '));
        if (operand.kind == ExprKind::Number && whole) {
            put(QStringLiteral("INTERVAL ") + operand.text + QStringLiteral(" DAY"));
        } else {
            expr(operand, kAdd + 1, Context::Value);
        }
    }
}

// Access's "&" treats Null as a zero-length text, but Null & Null is Null.
// With a literal among the operands the result can never be Null, and
// CONCAT with the Nulls made empty is the whole of it; otherwise a CASE
// keeps the all-Null case. SQL Server's CONCAT makes Nulls empty itself.
void Writer::concat(const Expr& e)
{
    std::vector<const Expr*> parts;
    bool neverNull = false;
    // (a & b) & c is a & b & c, Nulls included; one CASE covers them all.
    auto collect = [&](const Expr& chain, auto& self) -> void {
        for (const ExprPtr& operand : chain.args) {
            if (operand->kind == ExprKind::Chain && operand->chain == Chain::Concat) {
                self(*operand, self);
            } else if (operand->kind != ExprKind::Null) {
                parts.push_back(operand.get());
                neverNull = neverNull || isLiteral(*operand);
            }
        }
    };
    collect(e, collect);
    if (parts.empty()) {
        put("NULL");
        return;
    }
    if (!neverNull) {
        put("CASE WHEN ");
        for (size_t i = 0; i < parts.size(); ++i) {
            if (i > 0)
                put(" AND ");
            expr(*parts[i], kCompare + 1, Context::Value);
            put(" IS NULL");
        }
        put(" THEN NULL ELSE ");
    }
    put("CONCAT(");
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            put(", ");
        if (mySql_ && !isLiteral(*parts[i])) {
            put("COALESCE(");
            expr(*parts[i], kLoosest, Context::Value);
            put(", '')");
        } else {
            expr(*parts[i], kLoosest, Context::Value);
        }
    }
    // SQL Server's CONCAT wants two arguments.
    if (!mySql_ && parts.size() == 1)
        put(", ''");
    put(")");
    if (!neverNull)
        put(" END");
}

void Writer::like(const Expr& e)
{
    const Expr& pattern = *e.args[1];
    if (pattern.kind != ExprKind::Text)
        cannot(QStringLiteral("Like mit berechnetem Muster nicht übersetzbar"));
    expr(*e.args[0], kCompare + 1, Context::Value);
    // MySQL's LIKE knows no digit placeholder and no lists; its regular
    // expressions do.
    if (mySql_ && (pattern.text.contains(QLatin1Char('#')) || pattern.text.contains(QLatin1Char('[')))) {
        put(e.negated ? " NOT REGEXP " : " REGEXP ");
        put(literal(likeAsRegexp(pattern.text), dialect_));
    } else {
        put(e.negated ? " NOT LIKE " : " LIKE ");
        put(literal(mySql_ ? likeForMySql(pattern.text) : likeForMsSql(pattern.text), dialect_));
    }
}

}  // namespace accesssql::writer
