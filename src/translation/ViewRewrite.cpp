#include "translation/ViewRewrite.h"

#include "core/TabrixError.h"
#include "sql/Names.h"

#include <QStringList>

namespace {

constexpr Qt::CaseSensitivity AnyCase = Qt::CaseInsensitive;

[[noreturn]] void cannotRewrite(const QString& view, const QString& reason)
{
    throw TabrixError(ViewRewriteErrorNumber,
                      QStringLiteral("Die Abfrage '") + view
                          + QStringLiteral("' lässt sich nicht in eine Sicht übersetzen: ") + reason);
}

// Removes `word` (any case) at its first occurrence for as long as there is
// one: a removal can join two halves into a new occurrence, which goes too.
void removeRepeatedly(QString& text, QLatin1StringView word)
{
    qsizetype p = text.indexOf(word, 0, AnyCase);
    while (p >= 0) {
        text.remove(p, word.size());
        // Nothing before p matched, so a new occurrence can only span the join.
        p = text.indexOf(word, qMax<qsizetype>(0, p - word.size() + 1), AnyCase);
    }
}

// A piece of the text: either text the rules work on, or a name in the
// dialect's quotes that they leave alone.
struct Piece {
    QString text;
    bool quotedName = false;
};

// Brackets go: a bracketed name the server reads bare loses them, any other
// keeps a quoting of the dialect (a name with a blank must stay one name).
// Brackets inside texts in quotes, and unpaired ones, are removed as they are.
QList<Piece> unbracket(const QString& text, Dialect dialect)
{
    QList<Piece> pieces{Piece{}};
    QChar literal;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('[') || c == QLatin1Char(']')) {
            const qsizetype close = c == QLatin1Char('[') ? text.indexOf(QLatin1Char(']'), i + 1) : -1;
            if (!literal.isNull() || close < 0)
                continue;
            const QString name = text.mid(i + 1, close - i - 1);
            i = close;
            if (ReadsBare(name, dialect) || name.contains(QLatin1Char('['))) {
                pieces.last().text += QString(name).remove(QLatin1Char('['));
            } else {
                pieces.append(Piece{ViewTextName(name, dialect), true});
                pieces.append(Piece{});
            }
            continue;
        }
        if (literal.isNull() && (c == QLatin1Char('"') || c == QLatin1Char('\'')))
            literal = c;
        else if (c == literal)
            literal = QChar();
        pieces.last().text += c;
    }
    return pieces;
}

// Brackets, double quotes, DISTINCTROW and FIRST( in this order, each until
// none is left. No rule can bring back what an earlier one removed, so this
// equals taking the first rule that finds something, one occurrence a pass.
// Quoted names are left as the dialect needs them.
void cleanUp(QString& text, Dialect dialect)
{
    QString out;
    for (Piece& piece : unbracket(text, dialect)) {
        if (!piece.quotedName) {
            piece.text.replace(QLatin1Char('"'), QLatin1Char('\''));
            removeRepeatedly(piece.text, QLatin1StringView("DISTINCTROW"));
            // "MIN(" cannot form a new "FIRST(", so one pass replaces them all.
            piece.text.replace(QLatin1StringView("FIRST("), QLatin1StringView("MIN("), AnyCase);
        }
        out += piece.text;
    }
    text = out;
}

// LEFT(x,n) -> SUBSTR(x,1,n). Each turn takes one "LEFT(" away and adds
// none, so the rule ends.
void leftRule(QString& text, const QString& view)
{
    const QLatin1StringView call("LEFT(");
    qsizetype p = text.indexOf(call, 0, AnyCase);
    while (p >= 0) {
        const qsizetype c = text.indexOf(QLatin1Char(','), p);
        if (c < 0)
            cannotRewrite(view, QStringLiteral("auf \"LEFT(\" folgt kein Komma."));
        text.insert(c, QLatin1StringView(",1"));
        text.replace(p, call.size(), QLatin1StringView("SUBSTR("));
        p = text.indexOf(call, p, AnyCase);
    }
}

// RIGHT(x,n) -> SUBSTR(x,LENGTH(x) - n). The rule copies x twice and searches
// on inside the first copy, so a "RIGHT(" nested in x is worked on again:
// nested deep enough, each turn makes more of them than it removes. Without
// nesting the text grows to at most about 3.7 times its length, with one level
// to about 4 times; a text that grows past 8 times (and 4,096 characters) is
// in that endless case and is refused.
void rightRule(QString& text, const QString& view)
{
    const QLatin1StringView call("RIGHT(");
    const qsizetype limit = 8 * text.size() + 4096;
    qsizetype p = text.indexOf(call, 0, AnyCase);
    while (p >= 0) {
        const qsizetype c = text.indexOf(QLatin1Char(','), p);
        if (c < 0)
            cannotRewrite(view, QStringLiteral("auf \"RIGHT(\" folgt kein Komma."));
        const QString x = text.mid(p + call.size(), c - p - call.size());
        text.replace(p, c + 1 - p,
                     QLatin1StringView("SUBSTR(") + x + QLatin1StringView(",LENGTH(") + x + QLatin1StringView(") - "));
        if (text.size() > limit)
            cannotRewrite(view,
                          QStringLiteral("die \"RIGHT(\"-Aufrufe sind so verschachtelt, dass die "
                                         "Übersetzung nicht endet."));
        p = text.indexOf(call, p, AnyCase);
    }
}

// AS 'alias' -> AS alias. Each turn removes two quotes, so the rule ends.
void aliasRule(QString& text, const QString& view)
{
    const QLatin1StringView as("AS '");
    qsizetype p = text.indexOf(as, 0, AnyCase);
    while (p >= 0) {
        const qsizetype q = text.indexOf(QLatin1Char('\''), p + as.size());
        if (q < 0)
            cannotRewrite(view, QStringLiteral("auf \"AS '\" folgt kein schließendes Hochkomma."));
        text.remove(q, 1);
        text.replace(p, as.size(), QLatin1StringView("AS "));
        // The search starts again from the front; before p nothing matched,
        // and no match can start in the three characters before "AS ".
        p = text.indexOf(as, p, AnyCase);
    }
}

// YEAR(d) -> TO_CHAR(d,'yyyy') and MONTH(d) -> TO_CHAR(d,'mm'). Each turn
// takes one call away and adds none, so the rule ends.
void dateRule(QString& text, const QString& view, QLatin1StringView call, QLatin1StringView format)
{
    qsizetype p = text.indexOf(call, 0, AnyCase);
    while (p >= 0) {
        const qsizetype c = text.indexOf(QLatin1Char(')'), p);
        if (c < 0)
            cannotRewrite(view,
                          QStringLiteral("auf \"") + call + QStringLiteral("\" folgt keine schließende Klammer."));
        text.insert(c, format);
        text.replace(p, call.size(), QLatin1StringView("TO_CHAR("));
        p = text.indexOf(call, p, AnyCase);
    }
}

}  // namespace

ViewStatement TranslateView(Dialect dialect, bool /*linuxSwitch*/, const QString& name, const QString& input)
{
    QString viewName = name;
    QString text = input;

    const qsizetype semicolon = text.indexOf(QLatin1Char(';'));
    if (semicolon >= 0)
        text.truncate(semicolon);

    // This view needs its brackets and FIRST() as they are.
    if (name != QLatin1String("View_Kommission1"))
        cleanUp(text, dialect);

    if (dialect == Dialect::MySQL || dialect == Dialect::Oracle) {
        text.replace(QLatin1StringView("Str(Kommision-1)"), QLatin1StringView("Kommision-1"), AnyCase);
        text.replace(QLatin1StringView("Str(Kommission-1)"), QLatin1StringView("Kommission-1"), AnyCase);
    }

    if (dialect == Dialect::Oracle || dialect == Dialect::DB2) {
        text.replace(QLatin1StringView("SUBSTRING"), QLatin1StringView("SUBSTR"), AnyCase);
        text.replace(QLatin1StringView("LEN("), QLatin1StringView("LENGTH("), AnyCase);
        viewName.truncate(30);
        leftRule(text, name);
        rightRule(text, name);
        aliasRule(text, name);
    }

    if (dialect == Dialect::Oracle) {
        dateRule(text, name, QLatin1StringView("YEAR("), QLatin1StringView(",'yyyy'"));
        dateRule(text, name, QLatin1StringView("MONTH("), QLatin1StringView(",'mm'"));
    }

    const QString written = ViewTextName(viewName, dialect);
    QString statement = QStringLiteral("CREATE VIEW ") + written + QStringLiteral(" AS ") + text;
    if (dialect != Dialect::DB2 && viewName == QLatin1String("View_ABV_LB"))
        statement.replace(QLatin1StringView("''"), QLatin1StringView("NULL"));
    return {written, statement, viewName, text};
}

QString Db2PreDropStatement(Dialect dialect, const QString& name)
{
    static const QStringList kept = {QStringLiteral("VIEW__FS_ANZAHL"), QStringLiteral("VIEW__FS_PLANZAHL"),
                                     QStringLiteral("VIEW__FS_FERTIGZAHL"), QStringLiteral("VIEW_PRODUKTIONSPLAN")};
    if (dialect != Dialect::DB2 || kept.contains(name.toUpper()))
        return {};
    return QStringLiteral("DROP VIEW ") + ViewTextName(name, dialect);
}

QString DropViewStatement(Dialect dialect, const QString& viewName)
{
    if (dialect == Dialect::MSSQL || dialect == Dialect::DB2)
        return QStringLiteral("DROP VIEW ") + DoubleQuoted(viewName);
    return QStringLiteral("DROP VIEW ") + ViewTextName(viewName, dialect);
}

bool CreatedAfterAllOthers(Dialect dialect, bool linuxSwitch, const QString& name)
{
    return dialect == Dialect::Sybase && linuxSwitch && name == QLatin1String("View_BestellungAuftrag");
}
