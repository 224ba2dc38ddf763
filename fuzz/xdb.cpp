// Fuzz target of the XDB reader: any bytes as a document, run in each of the
// five dialects on a recording connection whose catalogue has every table the
// document names (with the columns "Nr" and "Alt"), twice, so that a block a
// run leaves open goes on in the next. Beyond crashes, hangs and sanitizer
// reports it checks that nothing of the document can end its statement: every
// statement sent reads as one statement of its dialect (quotes closed; no ";",
// comment or NUL outside them), and so does the drop of every view the
// document names.

#include "RecordingHost.h"
#include "translation/ViewRewrite.h"
#include "xdb/XdbRun.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

struct Lexing {
    bool backslashEscapes = false;  // MySQL, and Sybase on Linux: a backslash escapes in texts
    bool brackets = false;          // MS SQL and Sybase: [name]; only MS SQL reads "]]" as "]"
    bool bracketEscape = false;
    bool backticks = false;   // MySQL: `name`, and "#" starts a comment
    bool smartQuote = false;  // Sybase: its code-page conversion makes U+2019 an apostrophe
};

// Whether the text is one statement: every quote closed, and no statement
// end, comment or NUL character outside the quotes.
bool isOneStatement(const QString& s, const Lexing& l)
{
    enum class In { Plain, Text, Bracket, DoubleQuote, Backtick } in = In::Plain;
    const auto at = [&](qsizetype i) { return i < s.size() ? s[i].unicode() : u'\0'; };
    const auto apostrophe = [&](char16_t c) { return c == u'\'' || (l.smartQuote && c == u'\u2019'); };
    // A closing quote, or a doubled one that stays inside.
    const auto closes = [&](qsizetype& i, char16_t quote) {
        if (at(i + 1) == quote || (quote == u'\'' && apostrophe(at(i + 1)))) {
            ++i;
            return false;
        }
        return true;
    };
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c == u'\0')
            return false;
        switch (in) {
        case In::Plain:
            if (apostrophe(c))
                in = In::Text;
            else if (c == u'"')
                in = In::DoubleQuote;
            else if (c == u'[' && l.brackets)
                in = In::Bracket;
            else if (c == u'`' && l.backticks)
                in = In::Backtick;
            else if (c == u';' || (c == u'-' && at(i + 1) == u'-') || (c == u'/' && at(i + 1) == u'*')
                     || (c == u'#' && l.backticks))
                return false;
            break;
        case In::Text:
            if (c == u'\\' && l.backslashEscapes)
                ++i;
            else if (apostrophe(c) && closes(i, u'\''))
                in = In::Plain;
            break;
        case In::DoubleQuote:
            if (c == u'\\' && l.backslashEscapes && l.backticks)
                ++i;
            else if (c == u'"' && closes(i, u'"'))
                in = In::Plain;
            break;
        case In::Bracket:
            if (c == u']' && (!l.bracketEscape || closes(i, u']')))
                in = In::Plain;
            break;
        case In::Backtick:
            if (c == u'`' && closes(i, u'`'))
                in = In::Plain;
            break;
        }
    }
    return in == In::Plain;
}

[[noreturn]] void broken(const QString& statement, Dialect dialect)
{
    std::fprintf(stderr, "xdb fuzz target: %s can end its statement: %s\n", dialectName(dialect).toUtf8().constData(),
                 statement.toUtf8().constData());
    std::abort();
}

void runIn(const QString& path, Dialect dialect, bool linuxSwitch)
{
    RecordingHost host;
    host.server.anyTable = true;
    host.settings.dialect = dialect;
    host.settings.linuxSwitch = linuxSwitch;
    host.path = path;
    host.automatic = true;
    XdbReaderState state;
    for (int run = 0; run < 2; ++run) {
        host.server.statements.clear();
        host.views.clear();
        RunXdbDocument(host, state);
        Lexing lexing;
        lexing.brackets = dialect == Dialect::MSSQL || dialect == Dialect::Sybase;
        lexing.bracketEscape = dialect == Dialect::MSSQL;
        lexing.backticks = dialect == Dialect::MySQL;
        lexing.backslashEscapes = dialect == Dialect::MySQL || (dialect == Dialect::Sybase && linuxSwitch);
        lexing.smartQuote = dialect == Dialect::Sybase;
        for (const QString& statement : host.server.withoutCatalogue())
            if (!isOneStatement(statement, lexing))
                broken(statement, dialect);
        // The view's own text is an Access statement by intent; its name must not reach beyond its drop.
        for (const auto& [name, text] : host.views) {
            try {
                const ViewStatement view = TranslateView(dialect, linuxSwitch, name, text);
                const QString drop = DropViewStatement(dialect, view.name);
                if (!isOneStatement(drop, lexing))
                    broken(drop, dialect);
            } catch (const TabrixError&) {
                // a text that cannot be rewritten ends the run with its message
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString path = QDir::temp().filePath(QStringLiteral("tabrix-fuzz-%1.XDB").arg(getpid()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        std::abort();
    file.close();
    for (Dialect dialect : {Dialect::MSSQL, Dialect::MySQL, Dialect::Oracle, Dialect::Sybase, Dialect::DB2})
        runIn(path, dialect, false);
    runIn(path, Dialect::Sybase, true);
    return 0;
}
