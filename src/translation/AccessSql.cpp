#include "translation/AccessSql.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>

namespace accesssql {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

// The reason quotes parts of the text; it stays on one line all the same.
QString unreadable(qsizetype position, const QString& what)
{
    QString reason = QStringLiteral("Die Abfrage ist nicht lesbar: ") + what + QStringLiteral(" (Stelle ")
        + QString::number(position + 1) + QStringLiteral(").");
    for (QChar& c : reason)
        if (isControl(c))
            c = QLatin1Char(' ');
    return reason;
}

QString tooDeep()
{
    return QStringLiteral("Die Abfrage ist zu tief verschachtelt.");
}

// Positions are offsets in the query text; the inside of an Access 97 derived
// table ([SELECT ...]. AS x) is read again with the offset of its bracket.
Tokens tokenize(const QString& text, qsizetype base)
{
    Tokens result;
    std::vector<Token>& tokens = result.tokens;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto push = [&](TokenKind kind, QString value, qsizetype start) {
        tokens.push_back(Token{kind, std::move(value), base + start});
    };
    while (i < n && result.reason.isEmpty()) {
        const QChar c = text.at(i);
        const qsizetype start = i;
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = text.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0)
                result.reason = unreadable(base + start, QStringLiteral("Name ohne schließende Klammer"));
            else if (close == i + 1)
                result.reason = unreadable(base + start, QStringLiteral("leerer Name []"));
            else if (std::any_of(text.begin() + i + 1, text.begin() + close, isControl))
                result.reason = unreadable(base + start, QStringLiteral("Steuerzeichen in einem Namen"));
            else
                push(TokenKind::Bracketed, text.mid(i + 1, close - i - 1), start);
            i = close + 1;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            QString value;
            bool closed = false;
            for (++i; i < n; ++i) {
                if (text.at(i) != c) {
                    value += text.at(i);
                } else if (i + 1 < n && text.at(i + 1) == c) {
                    value += c;
                    ++i;
                } else {
                    closed = true;
                    ++i;
                    break;
                }
            }
            if (closed)
                push(TokenKind::Text, value, start);
            else
                result.reason = unreadable(base + start, QStringLiteral("Text ohne schließendes Anführungszeichen"));
        } else if (c == QLatin1Char('#')) {
            const qsizetype close = text.indexOf(QLatin1Char('#'), i + 1);
            if (close < 0)
                result.reason = unreadable(base + start, QStringLiteral("Datum ohne schließendes \"#\""));
            else
                push(TokenKind::Date, text.mid(i + 1, close - i - 1), start);
            i = close + 1;
        } else if (isAsciiDigit(c)
                   || (c == QLatin1Char('.') && i + 1 < n && isAsciiDigit(text.at(i + 1))
                       && (tokens.empty() || tokens.back().kind == TokenKind::Symbol)
                       && (tokens.empty() || tokens.back().text != QLatin1String(")")))) {
            while (i < n && isAsciiDigit(text.at(i)))
                ++i;
            if (i < n && text.at(i) == QLatin1Char('.'))
                for (++i; i < n && isAsciiDigit(text.at(i));)
                    ++i;
            if (i + 1 < n && (text.at(i) == QLatin1Char('E') || text.at(i) == QLatin1Char('e'))) {
                qsizetype e = i + 1;
                if (text.at(e) == QLatin1Char('+') || text.at(e) == QLatin1Char('-'))
                    ++e;
                if (e < n && isAsciiDigit(text.at(e))) {
                    while (e < n && isAsciiDigit(text.at(e)))
                        ++e;
                    i = e;
                }
            }
            push(TokenKind::Number, text.mid(start, i - start), start);
        } else if (isWordStart(c)) {
            while (i < n && isWordPart(text.at(i)))
                ++i;
            push(TokenKind::Word, text.mid(start, i - start), start);
        } else {
            static const QString pairs[] = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">=")};
            static const QString singles = QStringLiteral("(),;.!*+-/\\^&=<>");
            QString symbol;
            for (const QString& pair : pairs)
                if (QStringView(text).mid(i, 2) == pair)
                    symbol = pair;
            if (symbol.isEmpty() && singles.contains(c))
                symbol = c;
            if (symbol.isEmpty()) {
                const QString shown = isControl(c) || !c.isPrint()
                    ? QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper()
                    : QStringLiteral("\"") + c + QLatin1Char('"');
                result.reason =
                    unreadable(base + start, QStringLiteral("Zeichen ") + shown + QStringLiteral(" unbekannt"));
            } else {
                push(TokenKind::Symbol, symbol, start);
                i += symbol.size();
            }
        }
    }
    tokens.push_back(Token{TokenKind::End, QString(), base + n});
    return result;
}

// A reading that cannot go on: either the text is no select query at all
// (statement says what it is) or it is unreadable.
struct Failure {
    Statement statement;
    QString reason;
};

QString actionReason()
{
    return QStringLiteral("Aktionsabfrage: keine Sicht möglich");
}

// Words that end an expression or a table name, so that they are not taken for
// a column or an alias.
bool isReserved(const QString& word)
{
    static const QStringList words = {
        QStringLiteral("ALL"),      QStringLiteral("AND"),         QStringLiteral("AS"),     QStringLiteral("ASC"),
        QStringLiteral("BETWEEN"),  QStringLiteral("BY"),          QStringLiteral("CROSS"),  QStringLiteral("DESC"),
        QStringLiteral("DISTINCT"), QStringLiteral("DISTINCTROW"), QStringLiteral("EQV"),    QStringLiteral("FROM"),
        QStringLiteral("FULL"),     QStringLiteral("GROUP"),       QStringLiteral("HAVING"), QStringLiteral("IMP"),
        QStringLiteral("IN"),       QStringLiteral("INNER"),       QStringLiteral("INTO"),   QStringLiteral("IS"),
        QStringLiteral("JOIN"),     QStringLiteral("LEFT"),        QStringLiteral("LIKE"),   QStringLiteral("MOD"),
        QStringLiteral("NOT"),      QStringLiteral("ON"),          QStringLiteral("OR"),     QStringLiteral("ORDER"),
        QStringLiteral("OUTER"),    QStringLiteral("RIGHT"),       QStringLiteral("SELECT"), QStringLiteral("TOP"),
        QStringLiteral("UNION"),    QStringLiteral("WHERE"),       QStringLiteral("WITH"),   QStringLiteral("XOR"),
    };
    return words.contains(word, Qt::CaseInsensitive);
}

class Parser {
public:
    Parser(const std::vector<Token>& tokens, int depth) : tokens_(tokens), depth_(depth) {}

    std::unique_ptr<Query> statement()
    {
        auto query = this->query();
        if (takeWord("WITH")) {
            expectWord("OWNERACCESS");
            expectWord("OPTION");
        }
        takeSymbol(";");
        if (peek().kind != TokenKind::End)
            unexpected();
        return query;
    }

private:
    // Counts one level of nesting for as long as it lives.
    class Nest {
    public:
        explicit Nest(Parser& parser) : parser_(parser)
        {
            if (++parser_.depth_ > kMaxNesting)
                throw Failure{Statement::Unreadable, tooDeep()};
        }
        ~Nest() { --parser_.depth_; }
        Nest(const Nest&) = delete;
        Nest& operator=(const Nest&) = delete;

    private:
        Parser& parser_;
    };

    const Token& peek(size_t ahead = 0) const { return tokens_[qMin(next_ + ahead, tokens_.size() - 1)]; }
    void advance()
    {
        if (next_ + 1 < tokens_.size())
            ++next_;
    }

    bool isWord(size_t ahead, const char* word) const
    {
        const Token& t = peek(ahead);
        return t.kind == TokenKind::Word && t.text.compare(QLatin1StringView(word), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(size_t ahead, const char* symbol) const
    {
        const Token& t = peek(ahead);
        return t.kind == TokenKind::Symbol && t.text == QLatin1StringView(symbol);
    }
    bool takeWord(const char* word)
    {
        if (!isWord(0, word))
            return false;
        advance();
        return true;
    }
    bool takeSymbol(const char* symbol)
    {
        if (!isSymbol(0, symbol))
            return false;
        advance();
        return true;
    }
    void expectWord(const char* word)
    {
        if (!takeWord(word))
            expected(QString::fromLatin1(word));
    }
    void expectSymbol(const char* symbol)
    {
        if (!takeSymbol(symbol))
            expected(QString::fromLatin1(symbol));
    }

    [[noreturn]] void fail(const QString& what) const
    {
        throw Failure{Statement::Unreadable, unreadable(peek().position, what)};
    }
    [[noreturn]] void unexpected() const
    {
        const Token& t = peek();
        switch (t.kind) {
        case TokenKind::End:
            fail(QStringLiteral("unerwartetes Ende"));
        case TokenKind::Text:
            fail(QStringLiteral("unerwarteter Text"));
        case TokenKind::Bracketed:
            fail(QStringLiteral("unerwartet: [") + t.text + QLatin1Char(']'));
        case TokenKind::Date:
            fail(QStringLiteral("unerwartet: #") + t.text + QLatin1Char('#'));
        default:
            fail(QStringLiteral("unerwartet: ") + t.text);
        }
    }
    [[noreturn]] void expected(const QString& what) const
    {
        const Token& t = peek();
        fail(QStringLiteral("\"") + what + QStringLiteral("\" erwartet")
             + (t.kind == TokenKind::End ? QStringLiteral(", Ende gefunden") : QString()));
    }

    ExprPtr make(ExprKind kind, qsizetype position) const
    {
        auto e = std::make_unique<Expr>();
        e->kind = kind;
        e->position = position;
        return e;
    }

    // A name or alias: bare, bracketed, or (as some old queries have it) quoted.
    bool atName(size_t ahead = 0) const
    {
        const Token& t = peek(ahead);
        return t.kind == TokenKind::Bracketed || (t.kind == TokenKind::Word && !isReserved(t.text));
    }
    QString takeAlias()
    {
        const Token& t = peek();
        if (!atName() && t.kind != TokenKind::Text)
            expected(QStringLiteral("Name"));
        advance();
        return t.text;
    }

    std::unique_ptr<Query> query()
    {
        auto q = std::make_unique<Query>();
        q->parts.push_back(select());
        while (takeWord("UNION")) {
            q->unionAll.push_back(takeWord("ALL"));
            q->parts.push_back(select());
        }
        if (takeWord("ORDER")) {
            expectWord("BY");
            do {
                OrderItem item;
                item.expr = expression();
                if (takeWord("DESC"))
                    item.descending = true;
                else
                    takeWord("ASC");
                q->orderBy.push_back(std::move(item));
            } while (takeSymbol(","));
        }
        return q;
    }

    Select select()
    {
        Select s;
        expectWord("SELECT");
        if (takeWord("DISTINCTROW"))
            s.quantifier = Select::Quantifier::DistinctRow;
        else if (takeWord("DISTINCT"))
            s.quantifier = Select::Quantifier::Distinct;
        else
            takeWord("ALL");
        if (takeWord("TOP")) {
            if (peek().kind != TokenKind::Number)
                expected(QStringLiteral("Zahl"));
            s.top = peek().text;
            advance();
            s.topPercent = takeWord("PERCENT");
        }
        do {
            SelectItem item;
            if (isSymbol(0, "*")) {
                item.expr = make(ExprKind::Star, peek().position);
                advance();
            } else {
                item.expr = expression();
                if (takeWord("AS"))
                    item.alias = takeAlias();
            }
            s.items.push_back(std::move(item));
        } while (takeSymbol(","));
        if (isWord(0, "INTO"))
            throw Failure{Statement::Action, actionReason()};
        if (takeWord("FROM")) {
            do
                s.from.push_back(joined());
            while (takeSymbol(","));
        }
        if (takeWord("WHERE"))
            s.where = expression();
        if (takeWord("GROUP")) {
            expectWord("BY");
            do
                s.groupBy.push_back(expression());
            while (takeSymbol(","));
        }
        if (takeWord("HAVING"))
            s.having = expression();
        return s;
    }

    bool joinAhead() const
    {
        if (isWord(0, "JOIN") || (isWord(0, "INNER") && isWord(1, "JOIN")))
            return true;
        if (isWord(0, "LEFT") || isWord(0, "RIGHT"))
            return isWord(1, "JOIN") || (isWord(1, "OUTER") && isWord(2, "JOIN"));
        return false;
    }

    // a JOIN b ON ... JOIN c ON ...: the joins of one run nest to the left,
    // so each one counts as a level.
    TableRefPtr joined()
    {
        TableRefPtr left = tablePrimary();
        std::vector<std::unique_ptr<Nest>> levels;
        while (joinAhead()) {
            levels.push_back(std::make_unique<Nest>(*this));
            auto join = std::make_unique<TableRef>();
            join->kind = TableRef::Kind::Join;
            if (takeWord("LEFT"))
                join->join = JoinKind::Left;
            else if (takeWord("RIGHT"))
                join->join = JoinKind::Right;
            else
                takeWord("INNER");
            takeWord("OUTER");
            expectWord("JOIN");
            join->left = std::move(left);
            join->right = tablePrimary();
            expectWord("ON");
            join->on = expression();
            left = std::move(join);
        }
        return left;
    }

    void takeTableAlias(TableRef& table)
    {
        if (takeWord("AS"))
            table.alias = takeAlias();
        else if (atName())
            table.alias = takeAlias();
    }

    TableRefPtr tablePrimary()
    {
        auto table = std::make_unique<TableRef>();
        const Token& t = peek();
        if (isSymbol(0, "(")) {
            advance();
            Nest nest(*this);
            if (isWord(0, "SELECT")) {
                table->kind = TableRef::Kind::Subquery;
                table->query = query();
                expectSymbol(")");
                takeTableAlias(*table);
                return table;
            }
            TableRefPtr inner = joined();
            expectSymbol(")");
            return inner;
        }
        if (t.kind == TokenKind::Bracketed && isSymbol(1, ".")
            && t.text.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive)) {
            // Access 97 saves a derived table as [SELECT ...]. AS alias.
            Nest nest(*this);
            const Tokens inner = tokenize(t.text, t.position + 1);
            if (!inner.reason.isEmpty())
                throw Failure{Statement::Unreadable, inner.reason};
            Parser innerParser(inner.tokens, depth_);
            table->kind = TableRef::Kind::Subquery;
            table->query = innerParser.query();
            if (innerParser.peek().kind != TokenKind::End)
                innerParser.unexpected();
            advance();
            advance();
            takeTableAlias(*table);
            return table;
        }
        if (!atName())
            expected(QStringLiteral("Tabelle"));
        do {
            if (!atName())
                expected(QStringLiteral("Name"));
            table->name.append(peek().text);
            advance();
        } while (takeSymbol("."));
        if (table->name.first().startsWith(QLatin1Char(';')) || isWord(0, "IN"))
            throw Failure{Statement::Unreadable,
                          QStringLiteral("Verweis auf eine andere Datenbank: nicht übersetzbar")};
        takeTableAlias(*table);
        return table;
    }

    ExprPtr expression()
    {
        Nest nest(*this);
        return chain(Chain::Imp);
    }

    // The operator of the chain's level at the current token, or empty.
    QString chainOperator(Chain level) const
    {
        static const char* const words[] = {"IMP", "EQV", "XOR", "OR", "AND"};
        switch (level) {
        case Chain::Imp:
        case Chain::Eqv:
        case Chain::Xor:
        case Chain::Or:
        case Chain::And: {
            const char* word = words[int(level)];
            return isWord(0, word) ? QString::fromLatin1(word) : QString();
        }
        case Chain::Mod:
            return isWord(0, "MOD") ? QStringLiteral("MOD") : QString();
        case Chain::Concat:
            return isSymbol(0, "&") ? QStringLiteral("&") : QString();
        case Chain::Add:
            return isSymbol(0, "+") || isSymbol(0, "-") ? peek().text : QString();
        case Chain::IntDiv:
            return isSymbol(0, "\\") ? peek().text : QString();
        case Chain::Mul:
            return isSymbol(0, "*") || isSymbol(0, "/") ? peek().text : QString();
        case Chain::Power:
            return isSymbol(0, "^") ? peek().text : QString();
        }
        return {};
    }

    ExprPtr chainOperand(Chain level, bool first)
    {
        switch (level) {
        case Chain::And:
            return negation();
        case Chain::Mul:
            return minus();
        case Chain::Power:
            return first ? primary() : signedPrimary();
        default:
            return chain(Chain(int(level) + 1));
        }
    }

    ExprPtr chain(Chain level)
    {
        ExprPtr first = chainOperand(level, true);
        QString op = chainOperator(level);
        if (op.isEmpty())
            return first;
        ExprPtr e = make(ExprKind::Chain, first->position);
        e->chain = level;
        e->args.push_back(std::move(first));
        while (!op.isEmpty()) {
            advance();
            e->ops.append(op);
            e->args.push_back(chainOperand(level, false));
            op = chainOperator(level);
        }
        return e;
    }

    ExprPtr negation()
    {
        if (!isWord(0, "NOT"))
            return comparison();
        ExprPtr e = make(ExprKind::Not, peek().position);
        advance();
        Nest nest(*this);
        e->args.push_back(negation());
        return e;
    }

    ExprPtr comparison()
    {
        ExprPtr left = chain(Chain::Concat);
        const Token& t = peek();
        static const QStringList comparisons = {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"),
                                                QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=")};
        if (t.kind == TokenKind::Symbol && comparisons.contains(t.text)) {
            ExprPtr e = make(ExprKind::Compare, left->position);
            e->text = t.text;
            advance();
            e->args.push_back(std::move(left));
            if ((isWord(0, "ANY") || isWord(0, "SOME") || isWord(0, "ALL")) && isSymbol(1, "(")) {
                e->quantifier = peek().text.toUpper();
                advance();
                advance();
                Nest nest(*this);
                e->query = query();
                expectSymbol(")");
            } else {
                e->args.push_back(chain(Chain::Concat));
            }
            return e;
        }
        const bool negated = isWord(0, "NOT") && (isWord(1, "LIKE") || isWord(1, "IN") || isWord(1, "BETWEEN"));
        if (negated)
            advance();
        ExprPtr e;
        if (takeWord("LIKE")) {
            e = make(ExprKind::Like, left->position);
            e->args.push_back(std::move(left));
            e->args.push_back(chain(Chain::Concat));
        } else if (takeWord("IN")) {
            e = make(ExprKind::In, left->position);
            e->args.push_back(std::move(left));
            expectSymbol("(");
            Nest nest(*this);
            if (isWord(0, "SELECT")) {
                e->query = query();
            } else {
                do
                    e->args.push_back(expression());
                while (takeSymbol(","));
            }
            expectSymbol(")");
        } else if (takeWord("BETWEEN")) {
            e = make(ExprKind::Between, left->position);
            e->args.push_back(std::move(left));
            e->args.push_back(chain(Chain::Concat));
            expectWord("AND");
            e->args.push_back(chain(Chain::Concat));
        } else if (takeWord("IS")) {
            e = make(ExprKind::IsNull, left->position);
            e->negated = takeWord("NOT");
            expectWord("NULL");
            e->args.push_back(std::move(left));
            return e;
        } else {
            return left;
        }
        e->negated = negated;
        return e;
    }

    ExprPtr minus()
    {
        if (isSymbol(0, "+") || isSymbol(0, "-")) {
            const Token& t = peek();
            advance();
            Nest nest(*this);
            ExprPtr operand = minus();
            if (t.text == QLatin1String("+"))
                return operand;
            ExprPtr e = make(ExprKind::Negate, t.position);
            e->args.push_back(std::move(operand));
            return e;
        }
        return chain(Chain::Power);
    }

    // The exponent may carry a sign of its own: 2^-1.
    ExprPtr signedPrimary()
    {
        if (isSymbol(0, "+") || isSymbol(0, "-")) {
            const Token& t = peek();
            advance();
            Nest nest(*this);
            ExprPtr operand = signedPrimary();
            if (t.text == QLatin1String("+"))
                return operand;
            ExprPtr e = make(ExprKind::Negate, t.position);
            e->args.push_back(std::move(operand));
            return e;
        }
        return primary();
    }

    ExprPtr primary()
    {
        const Token& t = peek();
        ExprPtr e;
        switch (t.kind) {
        case TokenKind::Number:
            e = make(ExprKind::Number, t.position);
            e->text = t.text;
            advance();
            return e;
        case TokenKind::Text:
            e = make(ExprKind::Text, t.position);
            e->text = t.text;
            advance();
            return e;
        case TokenKind::Date:
            e = make(ExprKind::Date, t.position);
            if (!ReadDateLiteral(t.text, e->date))
                fail(QStringLiteral("Datum #") + t.text + QStringLiteral("# ungültig"));
            advance();
            return e;
        case TokenKind::Bracketed:
            return name();
        case TokenKind::Word:
            break;
        case TokenKind::Symbol:
            if (t.text != QLatin1String("("))
                unexpected();
            advance();
            {
                Nest nest(*this);
                if (isWord(0, "SELECT")) {
                    e = make(ExprKind::Subquery, t.position);
                    e->query = query();
                } else {
                    e = expression();
                }
            }
            expectSymbol(")");
            return e;
        case TokenKind::End:
            unexpected();
        }

        const bool followedBySeparator = isSymbol(1, ".") || isSymbol(1, "!");
        if (isWord(0, "EXISTS") && isSymbol(1, "(")) {
            e = make(ExprKind::Exists, t.position);
            advance();
            advance();
            Nest nest(*this);
            e->query = query();
            expectSymbol(")");
            return e;
        }
        // Left and Right are key words of joins and functions alike.
        if (isSymbol(1, "(") && (!isReserved(t.text) || isWord(0, "LEFT") || isWord(0, "RIGHT")))
            return call();
        if (!followedBySeparator) {
            static const QStringList yes = {QStringLiteral("TRUE"), QStringLiteral("YES"), QStringLiteral("ON")};
            static const QStringList no = {QStringLiteral("FALSE"), QStringLiteral("NO"), QStringLiteral("OFF")};
            if (isWord(0, "NULL")) {
                e = make(ExprKind::Null, t.position);
            } else if (yes.contains(t.text, Qt::CaseInsensitive) || no.contains(t.text, Qt::CaseInsensitive)) {
                e = make(ExprKind::Boolean, t.position);
                e->boolean = yes.contains(t.text, Qt::CaseInsensitive);
            }
            if (e) {
                advance();
                return e;
            }
        }
        if (isReserved(t.text))
            unexpected();
        return name();
    }

    ExprPtr call()
    {
        ExprPtr e = make(ExprKind::Call, peek().position);
        e->text = peek().text;
        advance();
        advance();
        Nest nest(*this);
        if (!takeSymbol(")")) {
            do {
                if (isSymbol(0, "*") && (isSymbol(1, ")") || isSymbol(1, ","))) {
                    e->args.push_back(make(ExprKind::Star, peek().position));
                    advance();
                } else {
                    e->args.push_back(expression());
                }
            } while (takeSymbol(","));
            expectSymbol(")");
        }
        return e;
    }

    // Table.Field, [Order Details]![UnitPrice], t.*
    ExprPtr name()
    {
        ExprPtr e = make(ExprKind::Name, peek().position);
        e->parts.append(peek().text);
        advance();
        while (isSymbol(0, ".") || isSymbol(0, "!")) {
            advance();
            if (isSymbol(0, "*")) {
                e->kind = ExprKind::Star;
                advance();
                return e;
            }
            if (peek().kind != TokenKind::Word && peek().kind != TokenKind::Bracketed)
                expected(QStringLiteral("Name"));
            e->parts.append(peek().text);
            advance();
        }
        return e;
    }

    const std::vector<Token>& tokens_;
    size_t next_ = 0;
    int depth_ = 0;
};

bool isWordToken(const Token& t, QLatin1StringView word)
{
    return t.kind == TokenKind::Word && t.text.compare(word, Qt::CaseInsensitive) == 0;
}

// The kinds of query that are recognised by their first word or by a form
// reference anywhere; Select when none applies.
Statement recognise(const std::vector<Token>& tokens, QString& reason)
{
    const Token& first = tokens.front();
    if (isWordToken(first, QLatin1StringView("PARAMETERS"))) {
        reason = QStringLiteral("Parameterabfrage: keine Sicht möglich");
        return Statement::Parameters;
    }
    if (isWordToken(first, QLatin1StringView("TRANSFORM"))) {
        reason = QStringLiteral("Kreuztabellenabfrage: keine Sicht möglich");
        return Statement::Crosstab;
    }
    static const char* const actions[] = {"INSERT", "UPDATE", "DELETE", "CREATE", "ALTER", "DROP"};
    for (const char* action : actions) {
        if (isWordToken(first, QLatin1StringView(action))) {
            reason = actionReason();
            return Statement::Action;
        }
    }
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        const Token& t = tokens[i];
        const Token& next = tokens[i + 1];
        if ((t.kind == TokenKind::Word || t.kind == TokenKind::Bracketed)
            && (t.text.compare(QLatin1StringView("Forms"), Qt::CaseInsensitive) == 0
                || t.text.compare(QLatin1StringView("Reports"), Qt::CaseInsensitive) == 0)
            && next.kind == TokenKind::Symbol && (next.text == QLatin1String("!") || next.text == QLatin1String("."))) {
            reason = QStringLiteral("Verweis auf ein Formular: keine Sicht möglich");
            return Statement::FormReference;
        }
    }
    return Statement::Select;
}

int daysInMonth(int year, int month)
{
    return QDate(year, month, 1).daysInMonth();
}

}  // namespace

Tokens Tokenize(const QString& text)
{
    return tokenize(text, 0);
}

bool ReadDateLiteral(const QString& inside, DateTimeValue& value)
{
    // Date: 1 month or year, 2 separator, 3 day or month, 4 year or day; time: 5 hour, 6 minute, 7 second, 8 AM/PM.
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(?:(\\d{1,4})([/-])(\\d{1,2})\\2(\\d{1,4}))?"
                       "\\s*(?:(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*(AM|PM)?)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = pattern.match(inside);
    if (!m.hasMatch() || (m.capturedLength(1) == 0 && m.capturedLength(5) == 0))
        return false;
    DateTimeValue v;
    if (m.capturedLength(1) > 0) {
        int year, month, day;
        qsizetype yearDigits;
        if (m.capturedLength(1) == 4) {
            year = m.captured(1).toInt();
            month = m.captured(3).toInt();
            day = m.captured(4).toInt();
            yearDigits = 4;
            if (m.capturedLength(4) > 2)
                return false;
        } else {
            if (m.capturedLength(1) > 2)
                return false;
            month = m.captured(1).toInt();
            day = m.captured(3).toInt();
            year = m.captured(4).toInt();
            yearDigits = m.capturedLength(4);
            if (month > 12 && day <= 12)
                std::swap(month, day);
        }
        if (yearDigits <= 2)
            year += year < 30 ? 2000 : 1900;
        else if (year < 100)
            return false;
        if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
            return false;
        v.year = year;
        v.month = month;
        v.day = day;
    }
    if (m.capturedLength(5) > 0) {
        int hour = m.captured(5).toInt();
        const int minute = m.captured(6).toInt();
        const int second = m.capturedLength(7) > 0 ? m.captured(7).toInt() : 0;
        if (m.capturedLength(8) > 0) {
            if (hour < 1 || hour > 12)
                return false;
            const bool pm = m.captured(8).compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
            hour = hour % 12 + (pm ? 12 : 0);
        }
        if (hour > 23 || minute > 59 || second > 59)
            return false;
        v.hour = hour;
        v.minute = minute;
        v.second = second;
        v.hasTime = true;
    }
    value = v;
    return true;
}

ParsedQuery ParseAccessQuery(const QString& text)
{
    ParsedQuery result;
    const Tokens tokens = tokenize(text, 0);
    result.statement = recognise(tokens.tokens, result.reason);
    if (result.statement != Statement::Select)
        return result;
    if (!tokens.reason.isEmpty()) {
        result.statement = Statement::Unreadable;
        result.reason = tokens.reason;
        return result;
    }
    if (tokens.tokens.front().kind == TokenKind::End) {
        result.statement = Statement::Unreadable;
        result.reason = QStringLiteral("Die Abfrage ist leer.");
        return result;
    }
    try {
        Parser parser(tokens.tokens, 0);
        result.query = parser.statement();
    } catch (const Failure& failure) {
        result.statement = failure.statement;
        result.reason = failure.reason;
    }
    return result;
}

}  // namespace accesssql
