#include "translation/AccessSqlWriterParts.h"

#include <QRegularExpression>

namespace accesssql::writer {

namespace {

// A function with a fixed number of arguments and a pattern per server. In the
// patterns {n} is argument n, {=n} argument n in parentheses unless it is a
// single operand, {?n} argument n as a condition. Every pattern is one operand
// itself (a call or in parentheses), so it fits wherever a call fits.
struct FunctionForm {
    const char* name;  // lower case, without Access's "$"
    int arguments;
    const char* mySql;
    const char* msSql;
};

const FunctionForm kForms[] = {
    // Texts
    {"len", 1, "CHAR_LENGTH({1})", "LEN({1})"},
    {"mid", 2, "SUBSTRING({1}, {2})", "SUBSTRING({1}, {2}, 2147483647)"},
    {"mid", 3, "SUBSTRING({1}, {2}, {3})", "SUBSTRING({1}, {2}, {3})"},
    {"left", 2, "LEFT({1}, {2})", "LEFT({1}, {2})"},
    {"right", 2, "RIGHT({1}, {2})", "RIGHT({1}, {2})"},
    {"ucase", 1, "UPPER({1})", "UPPER({1})"},
    {"lcase", 1, "LOWER({1})", "LOWER({1})"},
    {"trim", 1, "TRIM({1})", "LTRIM(RTRIM({1}))"},
    {"ltrim", 1, "LTRIM({1})", "LTRIM({1})"},
    {"rtrim", 1, "RTRIM({1})", "RTRIM({1})"},
    // InStr([start,] searched, sought): the servers take the sought text first.
    {"instr", 2, "LOCATE({2}, {1})", "CHARINDEX({2}, {1})"},
    {"instr", 3, "LOCATE({3}, {2}, {1})", "CHARINDEX({3}, {2}, {1})"},
    {"space", 1, "SPACE({1})", "SPACE({1})"},
    {"replace", 3, "REPLACE({1}, {2}, {3})", "REPLACE({1}, {2}, {3})"},
    {"asc", 1, "ASCII({1})", "ASCII({1})"},
    // Access's character codes are those of Windows-1252, which MySQL calls latin1.
    {"chr", 1, "CHAR({1} USING latin1)", "CHAR({1})"},
    {"cstr", 1, "CAST({1} AS CHAR)", "CAST({1} AS NVARCHAR(4000))"},
    // Conversions and numbers. CInt and CLng round halves away from zero here;
    // Access rounds them to the even neighbour.
    {"ccur", 1, "CAST({1} AS DECIMAL(19,4))", "CAST({1} AS MONEY)"},
    {"cdbl", 1, "CAST({1} AS DOUBLE)", "CAST({1} AS FLOAT)"},
    {"csng", 1, "CAST({1} AS FLOAT)", "CAST({1} AS REAL)"},
    {"clng", 1, "CAST(ROUND({1}) AS SIGNED)", "CAST(ROUND({1}, 0) AS INT)"},
    {"cint", 1, "CAST(ROUND({1}) AS SIGNED)", "CAST(ROUND({1}, 0) AS SMALLINT)"},
    {"cbyte", 1, "CAST(ROUND({1}) AS UNSIGNED)", "CAST(ROUND({1}, 0) AS TINYINT)"},
    {"cbool", 1, "({=1} <> 0)", "CASE WHEN {=1} <> 0 THEN 1 WHEN {=1} = 0 THEN 0 END"},
    {"cdate", 1, "CAST({1} AS DATETIME)", "CAST({1} AS DATETIME)"},
    {"cvar", 1, "{=1}", "{=1}"},
    // Val reads the number at the start of a text; SQL Server reads whole numbers only.
    {"val", 1, "CAST({1} AS DOUBLE)", "TRY_CAST({1} AS FLOAT)"},
    {"int", 1, "FLOOR({1})", "FLOOR({1})"},
    {"fix", 1, "TRUNCATE({1}, 0)", "ROUND({1}, 0, 1)"},
    {"abs", 1, "ABS({1})", "ABS({1})"},
    {"sgn", 1, "SIGN({1})", "SIGN({1})"},
    {"sqr", 1, "SQRT({1})", "SQRT({1})"},
    {"exp", 1, "EXP({1})", "EXP({1})"},
    {"log", 1, "LOG({1})", "LOG({1})"},
    {"sin", 1, "SIN({1})", "SIN({1})"},
    {"cos", 1, "COS({1})", "COS({1})"},
    {"tan", 1, "TAN({1})", "TAN({1})"},
    {"atn", 1, "ATAN({1})", "ATAN({1})"},
    {"round", 1, "ROUND({1})", "ROUND({1}, 0)"},
    {"round", 2, "ROUND({1}, {2})", "ROUND({1}, {2})"},
    // Choices. COALESCE rather than ISNULL on SQL Server: ISNULL cuts the
    // replacement to the type of its first argument. Nz without a replacement
    // gives a zero-length text in a query, as Access's documentation has it.
    {"iif", 3, "IF({?1}, {2}, {3})", "IIF({?1}, {2}, {3})"},
    {"nz", 1, "IFNULL({1}, '')", "COALESCE({1}, '')"},
    {"nz", 2, "IFNULL({1}, {2})", "COALESCE({1}, {2})"},
    // Dates and times
    {"now", 0, "NOW()", "GETDATE()"},
    // A datetime, so that Date() - 30 works on SQL Server as it does in Access.
    {"date", 0, "CURDATE()", "CAST(CAST(GETDATE() AS DATE) AS DATETIME)"},
    {"time", 0, "CURTIME()", "CAST(GETDATE() AS TIME)"},
    {"year", 1, "YEAR({1})", "YEAR({1})"},
    {"month", 1, "MONTH({1})", "MONTH({1})"},
    {"day", 1, "DAY({1})", "DAY({1})"},
    {"hour", 1, "HOUR({1})", "DATEPART(hour, {1})"},
    {"minute", 1, "MINUTE({1})", "DATEPART(minute, {1})"},
    {"second", 1, "SECOND({1})", "DATEPART(second, {1})"},
    {"datevalue", 1, "DATE({1})", "CAST({1} AS DATE)"},
    {"timevalue", 1, "TIME({1})", "CAST({1} AS TIME)"},
    // Month and day are added to the first of January, so that overflowing
    // values (month 13, day 0) roll over the way Access rolls them.
    {"dateserial", 3, "DATE_ADD(DATE_ADD(MAKEDATE({1}, 1), INTERVAL {=2} - 1 MONTH), INTERVAL {=3} - 1 DAY)",
     "DATEADD(day, {=3} - 1, DATEADD(month, {=2} - 1, DATEFROMPARTS({1}, 1, 1)))"},
    // Aggregates. First and Last take the smallest and largest value, as the
    // rewriting of the other servers does for First: the servers keep no
    // order of the rows to take the first or last one from.
    {"sum", 1, "SUM({1})", "SUM({1})"},
    {"avg", 1, "AVG({1})", "AVG({1})"},
    {"count", 1, "COUNT({1})", "COUNT({1})"},
    {"min", 1, "MIN({1})", "MIN({1})"},
    {"max", 1, "MAX({1})", "MAX({1})"},
    {"first", 1, "MIN({1})", "MIN({1})"},
    {"last", 1, "MAX({1})", "MAX({1})"},
    {"stdev", 1, "STDDEV_SAMP({1})", "STDEV({1})"},
    {"stdevp", 1, "STDDEV_POP({1})", "STDEVP({1})"},
    {"var", 1, "VAR_SAMP({1})", "VAR({1})"},
    {"varp", 1, "VAR_POP({1})", "VARP({1})"},
};

// Date parts of DatePart, DateAdd and DateDiff: Access's interval, MySQL's
// function and interval unit, SQL Server's date part.
struct Interval {
    const char* access;
    const char* mySqlFunction;
    const char* mySqlUnit;
    const char* msSqlPart;
};

const Interval kIntervals[] = {
    {"yyyy", "YEAR", "YEAR", "year"},    {"q", "QUARTER", "QUARTER", "quarter"},
    {"m", "MONTH", "MONTH", "month"},    {"y", "DAYOFYEAR", "DAY", "dayofyear"},
    {"d", "DAY", "DAY", "day"},          {"w", nullptr, "DAY", nullptr},
    {"ww", nullptr, "WEEK", "week"},     {"h", "HOUR", "HOUR", "hour"},
    {"n", "MINUTE", "MINUTE", "minute"}, {"s", "SECOND", "SECOND", "second"},
};

const Interval* findInterval(const QString& access)
{
    for (const Interval& interval : kIntervals)
        if (access == QLatin1StringView(interval.access))
            return &interval;
    return nullptr;
}

// DateDiff counts the boundaries passed between the two dates, as SQL
// Server's DATEDIFF does. MySQL counts whole units instead, so there the
// dates are cut to the unit first.
struct DateDiffForm {
    const char* access;
    const char* mySql;
    const char* msSql;
};

const DateDiffForm kDateDiffs[] = {
    {"yyyy", "(YEAR({3}) - YEAR({2}))", "DATEDIFF(year, {2}, {3})"},
    {"q", "((YEAR({3}) - YEAR({2})) * 4 + QUARTER({3}) - QUARTER({2}))", "DATEDIFF(quarter, {2}, {3})"},
    {"m", "((YEAR({3}) - YEAR({2})) * 12 + MONTH({3}) - MONTH({2}))", "DATEDIFF(month, {2}, {3})"},
    {"y", "DATEDIFF({3}, {2})", "DATEDIFF(day, {2}, {3})"},
    {"d", "DATEDIFF({3}, {2})", "DATEDIFF(day, {2}, {3})"},
    {"w", "(DATEDIFF({3}, {2}) DIV 7)", "(DATEDIFF(day, {2}, {3}) / 7)"},
    {"ww", "((TO_DAYS({3}) - DAYOFWEEK({3}) - TO_DAYS({2}) + DAYOFWEEK({2})) DIV 7)", "DATEDIFF(week, {2}, {3})"},
    {"h", "TIMESTAMPDIFF(HOUR, DATE_FORMAT({2}, '%Y-%m-%d %H:00:00'), DATE_FORMAT({3}, '%Y-%m-%d %H:00:00'))",
     "DATEDIFF(hour, {2}, {3})"},
    {"n", "TIMESTAMPDIFF(MINUTE, DATE_FORMAT({2}, '%Y-%m-%d %H:%i:00'), DATE_FORMAT({3}, '%Y-%m-%d %H:%i:00'))",
     "DATEDIFF(minute, {2}, {3})"},
    {"s", "TIMESTAMPDIFF(SECOND, {2}, {3})", "DATEDIFF(second, {2}, {3})"},
};

// m, mm, mmm, mmmm and d, dd, ddd, dddd of Format: DATE_FORMAT's and .NET's.
const char* const kMonths[4][2] = {{"%c", "M"}, {"%m", "MM"}, {"%b", "MMM"}, {"%M", "MMMM"}};
const char* const kDays[4][2] = {{"%e", "d"}, {"%d", "dd"}, {"%a", "ddd"}, {"%W", "dddd"}};

}  // namespace

// One piece of a Format date pattern: a run for DATE_FORMAT/FORMAT, or a part
// those cannot show, written as a pattern over the value ({1}).
struct DatePiece {
    QString run;
    const char* function = nullptr;
};

// The function's name as Access matches it: any case, "$" variants the same.
QString functionKey(const QString& name)
{
    QString key = name.toLower();
    if (key.endsWith(QLatin1Char('$')))
        key.chop(1);
    return key;
}

// A date by its form: a date literal or a function that gives one.
bool isDateValued(const Expr& e)
{
    static const QStringList functions = {
        QStringLiteral("now"),     QStringLiteral("date"),  QStringLiteral("time"),     QStringLiteral("dateserial"),
        QStringLiteral("dateadd"), QStringLiteral("cdate"), QStringLiteral("datevalue")};
    return e.kind == ExprKind::Date || (e.kind == ExprKind::Call && functions.contains(functionKey(e.text)));
}

bool isIsNullCall(const Expr& e)
{
    return e.kind == ExprKind::Call && e.args.size() == 1 && functionKey(e.text) == QLatin1String("isnull");
}

namespace {

// An argument that has to be a literal text, in lower case.
QString intervalOf(const Expr& call)
{
    const Expr& first = *call.args[0];
    if (first.kind != ExprKind::Text)
        cannot(QStringLiteral("Funktion ") + call.text
               + QStringLiteral(" mit berechnetem Intervall nicht übersetzbar"));
    return first.text.toLower();
}

// An optional whole-number literal argument; -1 when it is something else.
int optionalNumber(const Expr& call, size_t index, int absent)
{
    if (call.args.size() <= index)
        return absent;
    const Expr& arg = *call.args[index];
    bool ok = false;
    const int value = arg.text.toInt(&ok);
    return arg.kind == ExprKind::Number && ok ? value : -1;
}

[[noreturn]] void unsupportedInterval(const Expr& call, const QString& interval)
{
    cannot(QStringLiteral("Funktion ") + call.text + QStringLiteral(" mit Intervall \"") + interval
           + QStringLiteral("\" nicht übersetzbar"));
}

QString functionReason(const QString& name)
{
    return QStringLiteral("Funktion ") + name + QStringLiteral(" nicht übersetzbar");
}

[[noreturn]] void wrongArguments(const Expr& call)
{
    cannot(QStringLiteral("Funktion ") + call.text + QStringLiteral(" mit ") + QString::number(call.args.size())
           + QStringLiteral(" Argumenten nicht übersetzbar"));
}

// The date and time parts of a Format pattern, or an empty list when the
// pattern holds anything else.
std::vector<DatePiece> datePieces(const QString& pattern, bool onMySql)
{
    std::vector<DatePiece> pieces;
    bool afterHour = false;
    QString run;
    auto add = [&](const char* mySql, const char* msSql) { run += QLatin1StringView(onMySql ? mySql : msSql); };
    auto function = [&](const char* f) {
        if (!run.isEmpty())
            pieces.push_back(DatePiece{run, nullptr});
        run.clear();
        pieces.push_back(DatePiece{QString(), f});
    };
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i).toLower();
        qsizetype count = 1;
        while (i + count < pattern.size() && pattern.at(i + count).toLower() == c)
            ++count;
        const char letter = c.unicode() < 128 ? char(c.unicode()) : 0;
        const bool hour = letter == 'h';
        bool known = true;
        switch (letter) {
        case 'y':
            if (count == 4)
                add("%Y", "yyyy");
            else if (count == 2)
                add("%y", "yy");
            else if (count == 1)
                function(onMySql ? "DAYOFYEAR({1})" : "DATEPART(dayofyear, {1})");
            else
                known = false;
            break;
        case 'm':
            if (afterHour && count == 2)
                add("%i", "mm");
            else if (afterHour && count == 1)
                onMySql ? function("MINUTE({1})") : add("", "m");
            else if (count <= 4)
                add(kMonths[count - 1][0], kMonths[count - 1][1]);
            else
                known = false;
            break;
        case 'd':
            if (count <= 4)
                add(kDays[count - 1][0], kDays[count - 1][1]);
            else
                known = false;
            break;
        case 'h':
            if (count <= 2)
                add(count == 2 ? "%H" : "%k", count == 2 ? "HH" : "H");
            else
                known = false;
            break;
        case 'n':
        case 's':
            if (count == 2)
                add(letter == 'n' ? "%i" : "%s", letter == 'n' ? "mm" : "ss");
            else if (count == 1 && onMySql)
                function(letter == 'n' ? "MINUTE({1})" : "SECOND({1})");
            else if (count == 1)
                add("", letter == 'n' ? "m" : "s");
            else
                known = false;
            break;
        case 'q':
            if (count == 1)
                function(onMySql ? "QUARTER({1})" : "DATEPART(quarter, {1})");
            else
                known = false;
            break;
        case 'w':
            if (count == 1)
                function(onMySql ? "DAYOFWEEK({1})" : "((DATEPART(weekday, {1}) + @@DATEFIRST + 6) % 7 + 1)");
            else
                known = false;
            break;
        case ' ':
        case '-':
        case '.':
        case ',':
        case '/':
        case ':':
            run += QString(count, c);
            break;
        default:
            known = false;
        }
        if (!known)
            return {};
        if (letter != ' ' && letter != ':' && letter != '.' && letter != '-' && letter != ',' && letter != '/')
            afterHour = hour;
        i += count;
    }
    if (!run.isEmpty())
        pieces.push_back(DatePiece{run, nullptr});
    return pieces;
}

}  // namespace

// Writes a pattern of kForms or of the special functions below.
void Writer::expand(const char* pattern, const Expr& call)
{
    for (const char* p = pattern; *p; ++p) {
        if (*p != '{') {
            out_ += QLatin1Char(*p);
            continue;
        }
        ++p;
        int minPrecedence = kLoosest;
        Context context = Context::Value;
        if (*p == '=') {
            minPrecedence = kAtom;
            ++p;
        } else if (*p == '?') {
            context = Context::Condition;
            ++p;
        }
        expr(*call.args[size_t(*p - '1')], minPrecedence, context);
        ++p;  // the "}"
    }
}

// Weekday(d, first): 1 for the first day of the week (1 = Sunday). SQL
// Server counts from its DATEFIRST setting, which @@DATEFIRST undoes.
void Writer::weekday(const QString& function, const Expr& date, int first)
{
    if (first < 1 || first > 7)
        cannot(QStringLiteral("Funktion ") + function
               + QStringLiteral(" mit diesem ersten Wochentag nicht übersetzbar"));
    const QString shift = QString::number(7 - first);
    if (mySql_ && first == 1) {
        put("DAYOFWEEK(");
        expr(date, kLoosest, Context::Value);
        put(")");
    } else if (mySql_) {
        put("(MOD(DAYOFWEEK(");
        expr(date, kLoosest, Context::Value);
        put(QStringLiteral(") + ") + shift + QStringLiteral(", 7) + 1)"));
    } else {
        put("((DATEPART(weekday, ");
        expr(date, kLoosest, Context::Value);
        put(QStringLiteral(") + @@DATEFIRST + ") + shift + QStringLiteral(") % 7 + 1)"));
    }
}

void Writer::datePart(const Expr& call)
{
    if (call.args.size() < 2 || call.args.size() > 4)
        wrongArguments(call);
    const QString interval = intervalOf(call);
    const int first = optionalNumber(call, 2, 1);
    const int firstWeek = optionalNumber(call, 3, 1);
    const Interval* known = findInterval(interval);
    if (!known)
        unsupportedInterval(call, interval);
    if (interval == QLatin1String("w")) {
        weekday(call.text, *call.args[1], first);
    } else if (interval == QLatin1String("ww") && first == 2 && firstWeek == 2) {
        expand(mySql_ ? "WEEK({2}, 3)" : "DATEPART(iso_week, {2})", call);
    } else if (interval == QLatin1String("ww")) {
        // The week holding January 1 is week 1: the days before the date in
        // its year plus the days of week 1 before January 1, in weeks.
        if (firstWeek != 1 || first < 1 || first > 7)
            unsupportedInterval(call, interval);
        const QString offset = QString::number(372 - first);
        if (mySql_) {
            expand("((DAYOFYEAR({2}) - 1 + MOD(DAYOFWEEK({2}) - DAYOFYEAR({2}) + ", call);
            put(offset + QStringLiteral(", 7)) DIV 7 + 1)"));
        } else {
            expand("((DATEPART(dayofyear, {2}) - 1 + (DATEPART(weekday, {2}) + @@DATEFIRST - "
                   "DATEPART(dayofyear, {2}) + ",
                   call);
            put(offset + QStringLiteral(") % 7) / 7 + 1)"));
        }
    } else if (mySql_) {
        put(known->mySqlFunction);
        expand("({2})", call);
    } else {
        put(QStringLiteral("DATEPART(") + QLatin1StringView(known->msSqlPart) + QStringLiteral(", "));
        expand("{2})", call);
    }
}

void Writer::dateAdd(const Expr& call)
{
    if (call.args.size() != 3)
        wrongArguments(call);
    const QString interval = intervalOf(call);
    const Interval* known = findInterval(interval);
    if (!known)
        unsupportedInterval(call, interval);
    if (mySql_) {
        expand("DATE_ADD({3}, INTERVAL {=2} ", call);
        put(known->mySqlUnit);
        put(")");
    } else {
        const char* part = interval == QLatin1String("y") || interval == QLatin1String("w") ? "day" : known->msSqlPart;
        put(QStringLiteral("DATEADD(") + QLatin1StringView(part) + QStringLiteral(", "));
        expand("{2}, {3})", call);
    }
}

void Writer::dateDiff(const Expr& call)
{
    if (call.args.size() < 3 || call.args.size() > 5)
        wrongArguments(call);
    const QString interval = intervalOf(call);
    // Weeks are counted from Sunday to Sunday; another first day is not.
    if (interval == QLatin1String("ww") && optionalNumber(call, 3, 1) != 1)
        unsupportedInterval(call, interval);
    for (const DateDiffForm& form : kDateDiffs) {
        if (interval == QLatin1StringView(form.access)) {
            expand(mySql_ ? form.mySql : form.msSql, call);
            return;
        }
    }
    unsupportedInterval(call, interval);
}

// Format with a number pattern: 0, 0.00, #,##0.00, each optionally with %.
// MySQL writes the number with its own separators (a point for decimals,
// commas for thousands); SQL Server's FORMAT takes the pattern as it is
// and the separators of the login's language, as Access takes Windows'.
void Writer::formatNumber(const Expr& call, const QString& msSqlPattern, int decimals, bool thousands, bool percent)
{
    if (!mySql_) {
        expand("FORMAT({1}, ", call);
        put(literal(msSqlPattern, dialect_) + QStringLiteral(")"));
        return;
    }
    // Rounded as a decimal first: FORMAT rounds a Double's halves to even, Access away from zero.
    const QString places = QString::number(decimals);
    if (percent)
        put("CONCAT(");
    put(thousands ? "FORMAT(CAST(" : "CAST(CAST(");
    expr(*call.args[0], percent ? kMul : kLoosest, Context::Value);
    if (percent)
        put(" * 100");
    put(QStringLiteral(" AS DECIMAL(65,") + places + QStringLiteral("))"));
    put(thousands ? QStringLiteral(", ") + places + QStringLiteral(")") : QStringLiteral(" AS CHAR)"));
    if (percent)
        put(", '%')");
}

void Writer::formatDate(const Expr& call, const std::vector<DatePiece>& pieces)
{
    static const QRegularExpression formatLetters(QStringLiteral("[A-Za-z%]"));
    const bool several = pieces.size() > 1;
    if (several)
        put("CONCAT(");
    for (size_t i = 0; i < pieces.size(); ++i) {
        const DatePiece& piece = pieces[i];
        if (i > 0)
            put(", ");
        if (piece.function) {
            if (!several)
                put("CAST(");
            expand(piece.function, call);
            if (!several)
                put(mySql_ ? " AS CHAR)" : " AS NVARCHAR(30))");
        } else if (!piece.run.contains(formatLetters)) {
            put(literal(piece.run, dialect_));
        } else {
            // A single letter alone is one of .NET's standard patterns; "%" makes it a custom one.
            const QString run = !mySql_ && piece.run.size() == 1 ? QLatin1Char('%') + piece.run : piece.run;
            expand(mySql_ ? "DATE_FORMAT({1}, " : "FORMAT({1}, ", call);
            put(literal(run, dialect_) + QStringLiteral(")"));
        }
    }
    if (several)
        put(")");
}

void Writer::format(const Expr& call)
{
    if (call.args.size() == 1) {
        expand(mySql_ ? "CAST({1} AS CHAR)" : "CAST({1} AS NVARCHAR(4000))", call);
        return;
    }
    if (call.args.size() != 2)
        wrongArguments(call);
    const Expr& patternArg = *call.args[1];
    if (patternArg.kind != ExprKind::Text)
        cannot(QStringLiteral("Funktion Format mit berechnetem Muster nicht übersetzbar"));
    const QString pattern = patternArg.text;
    const QString named = pattern.toLower();
    static const QRegularExpression number(QStringLiteral("^(#,##)?0(?:\\.(0+))?(%)?$"));
    const QRegularExpressionMatch m = number.match(pattern);
    if (named == QLatin1String("fixed")) {
        formatNumber(call, QStringLiteral("0.00"), 2, false, false);
    } else if (named == QLatin1String("standard")) {
        formatNumber(call, QStringLiteral("#,##0.00"), 2, true, false);
    } else if (named == QLatin1String("percent")) {
        formatNumber(call, QStringLiteral("0.00%"), 2, false, true);
    } else if (named == QLatin1String("currency")) {
        // The login's currency on SQL Server; MySQL has none, the euro is ours.
        if (mySql_) {
            put("CONCAT(");
            formatNumber(call, QString(), 2, true, false);
            put(QStringLiteral(", ' €')"));
        } else {
            expand("FORMAT({1}, 'C')", call);
        }
    } else if (m.hasMatch()) {
        formatNumber(call, pattern, int(m.capturedLength(2)), m.capturedLength(1) > 0, m.capturedLength(3) > 0);
    } else {
        const std::vector<DatePiece> pieces = datePieces(pattern, mySql_);
        if (pieces.empty())
            cannot(QStringLiteral("Funktion Format mit Muster \"") + pattern + QStringLiteral("\" nicht übersetzbar"));
        formatDate(call, pieces);
    }
}

void Writer::call(const Expr& e)
{
    const QString key = functionKey(e.text);
    const size_t count = e.args.size();
    if (isIsNullCall(e)) {
        expr(*e.args[0], kCompare + 1, Context::Value);
        put(" IS NULL");
    } else if (key == QLatin1String("switch")) {
        // Switch(condition, value, ...) is Null when no condition holds, as is a CASE without ELSE.
        if (count < 2 || count % 2 != 0)
            wrongArguments(e);
        put("CASE");
        for (size_t i = 0; i < count; i += 2) {
            put(" WHEN ");
            expr(*e.args[i], kLoosest, Context::Condition);
            put(" THEN ");
            expr(*e.args[i + 1], kLoosest, Context::Value);
        }
        put(" END");
    } else if (key == QLatin1String("choose")) {
        if (count < 2)
            wrongArguments(e);
        put(mySql_ ? "ELT(" : "CHOOSE(");
        for (size_t i = 0; i < count; ++i) {
            if (i > 0)
                put(", ");
            expr(*e.args[i], kLoosest, Context::Value);
        }
        put(")");
    } else if (key == QLatin1String("instr") && count == 4) {
        // Only the text comparison, which the server's collation does as well.
        if (optionalNumber(e, 3, 1) != 1)
            cannot(QStringLiteral("Funktion InStr mit binärem Vergleich nicht übersetzbar"));
        expand(mySql_ ? "LOCATE({3}, {2}, {1})" : "CHARINDEX({3}, {2}, {1})", e);
    } else if (key == QLatin1String("weekday")) {
        if (count < 1 || count > 2)
            wrongArguments(e);
        weekday(e.text, *e.args[0], optionalNumber(e, 1, 1));
    } else if (key == QLatin1String("datepart")) {
        datePart(e);
    } else if (key == QLatin1String("dateadd")) {
        dateAdd(e);
    } else if (key == QLatin1String("datediff")) {
        dateDiff(e);
    } else if (key == QLatin1String("format")) {
        format(e);
    } else {
        bool named = false;
        for (const FunctionForm& form : kForms) {
            if (key != QLatin1StringView(form.name))
                continue;
            named = true;
            if (size_t(form.arguments) == count) {
                expand(mySql_ ? form.mySql : form.msSql, e);
                return;
            }
        }
        if (named)
            wrongArguments(e);
        cannot(functionReason(e.text));
    }
}

}  // namespace accesssql::writer
