// Fuzz target of the Access SQL reader and its writers: any text as a saved
// query, read and written for MySQL and MS SQL. Besides crashes, hangs and
// sanitizer reports it checks that every translation is one statement: its
// quotes closed, no ";" and no comment ("--", "/*") outside them.

#include "translation/AccessSqlWriter.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

// True when the text's quotes (texts, names) are all closed and no ";" or
// comment stands outside them.
bool oneStatement(const QString& text)
{
    QChar open;
    QChar previous;
    for (const QChar c : text) {
        const QChar before = previous;
        previous = c;
        if (!open.isNull()) {
            if (c == open)
                open = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"' || c == u'`')
            open = c;
        else if (c == u';' || (before == u'-' && c == u'-') || (before == u'/' && c == u'*'))
            return false;
    }
    return open.isNull();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const Dialect dialect : {Dialect::MySQL, Dialect::MSSQL}) {
        const AccessSqlTranslation result = TranslateAccessQuery(text, dialect);
        if (result.outcome == AccessSqlTranslation::Outcome::Translated && !oneStatement(result.text))
            std::abort();
    }
    return 0;
}
