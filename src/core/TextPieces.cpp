#include "core/TextPieces.h"

QStringList CutIntoPieces(const QString& text, qsizetype width)
{
    QStringList pieces;
    const qsizetype count = text.size() / width + 1;
    pieces.reserve(count);
    for (qsizetype m = 0; m < count; ++m)
        pieces.append(text.mid(m * width, width));
    return pieces;
}

bool IsQuoted(const QString& text)
{
    return text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"');
}

QString StripQuotes(const QString& text)
{
    return IsQuoted(text) ? text.mid(1, text.size() - 2) : text;
}

QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

QString ShowingNul(QString text)
{
    return text.replace(QChar(u'\0'), QChar(u'\u2400'));
}
