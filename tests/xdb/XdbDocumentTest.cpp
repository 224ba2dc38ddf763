// Reading the document: code page, line ends, positions, unreadable files.

#include "XdbTestSupport.h"
#include "shell/TabrixError.h"
#include "xdb/XdbDocument.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Read {
    QStringList lines;
    QList<qint64> positions;
    XdbEncoding encoding = XdbEncoding::Windows1252;
    qint64 length = 0;
};

Read readAll(const QByteArray& bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QEL.XDB"));
    xdbdoc::writeFile(path, bytes);
    XdbDocument doc;
    doc.open(path);
    Read r;
    r.encoding = doc.encoding();
    r.length = doc.length();
    while (!doc.atEnd()) {
        r.lines.append(doc.readLine());
        r.positions.append(doc.position());
    }
    doc.close();
    return r;
}

long errorNumberOpening(const QString& path)
{
    XdbDocument doc;
    try {
        doc.open(path);
    } catch (const TabrixError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(XdbDocument, EveryLineEndEndsALine)
{
    EXPECT_EQ(readAll("a\r\nb\r\nc\r\n").lines, (QStringList{"a", "b", "c"}));
    EXPECT_EQ(readAll("a\nb\nc\n").lines, (QStringList{"a", "b", "c"}));
    EXPECT_EQ(readAll("a\rb\rc\r").lines, (QStringList{"a", "b", "c"}));
    // Mixed, LF CR is two line ends, the last line needs none, blank lines count.
    EXPECT_EQ(readAll("a\r\nb\nc\rd\n\re\r\n\r\nf").lines, (QStringList{"a", "b", "c", "d", "", "e", "", "f"}));
    EXPECT_TRUE(readAll("").lines.isEmpty());
    EXPECT_EQ(readAll("\r\n").lines, (QStringList{""}));
}

TEST(XdbDocument, PositionsCountBytesWithTheirLineEnds)
{
    const Read r = readAll("ab\r\nc\nd");
    EXPECT_EQ(r.positions, (QList<qint64>{4, 6, 7}));
    EXPECT_EQ(r.length, 7);
    // Two bytes per umlaut in UTF-8.
    EXPECT_EQ(readAll("\xC3\xA4\r\n").positions, (QList<qint64>{4}));
}

TEST(XdbDocument, ACrLfAcrossTheReadBufferStaysOneLineEnd)
{
    // The reader works in pieces of 64 KiB: put the CR last in the first piece.
    QByteArray bytes(64 * 1024 - 1, 'x');
    bytes += "\r\nnext\r\n";
    const Read r = readAll(bytes);
    ASSERT_EQ(r.lines.size(), 2);
    EXPECT_EQ(r.lines[0].size(), 64 * 1024 - 1);
    EXPECT_EQ(r.lines[1], QStringLiteral("next"));
    // And a multi-byte character split across the pieces stays UTF-8.
    QByteArray utf8(64 * 1024 - 1, 'y');
    utf8 += "\xC3\xBC\r\n";
    const Read u = readAll(utf8);
    EXPECT_EQ(u.encoding, XdbEncoding::Utf8);
    EXPECT_TRUE(u.lines[0].endsWith(QStringLiteral("yü")));
}

TEST(XdbDocument, CodePageIsWindows1252UnlessTheWholeFileIsUtf8WithUmlauts)
{
    // ERP releases ship Windows-1252.
    const Read shipped = readAll("tabelle Auftragsbest\xE4tigung \x80 \x84x\x93 \x9F\r\n");
    EXPECT_EQ(shipped.encoding, XdbEncoding::Windows1252);
    EXPECT_EQ(shipped.lines[0], QStringLiteral("tabelle Auftragsbestätigung € „x“ Ÿ"));
    // Bytes the code page leaves undefined stay as they are, as control characters.
    EXPECT_EQ(readAll("\x81\x8D\x8F\x90\x9D").lines[0], QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D"));

    const Read edited = readAll("feld Stra\xC3\x9F" "e \xE2\x82\xAC\n");
    EXPECT_EQ(edited.encoding, XdbEncoding::Utf8);
    EXPECT_EQ(edited.lines[0], QStringLiteral("feld Straße €"));

    // A byte-order mark is no part of the first line.
    const Read marked = readAll("\xEF\xBB\xBF[felder]\r\n");
    EXPECT_EQ(marked.lines[0], QStringLiteral("[felder]"));
    EXPECT_EQ(marked.positions[0], 13);

    // One invalid sequence anywhere makes the whole file Windows-1252.
    EXPECT_EQ(readAll("Stra\xC3\x9F" "e\r\nGr\xF6\xDF" "e\r\n").lines,
              (QStringList{QStringLiteral("StraÃŸe"), QStringLiteral("Größe")}));
    // Overlong forms and surrogates are no UTF-8; nor is a sequence cut off at the end.
    EXPECT_EQ(readAll("\xC0\xAF").encoding, XdbEncoding::Windows1252);
    EXPECT_EQ(readAll("\xED\xA0\x80").encoding, XdbEncoding::Windows1252);
    EXPECT_EQ(readAll("ok \xE2\x82").encoding, XdbEncoding::Windows1252);
    EXPECT_EQ(readAll("\xF4\x90\x80\x80").encoding, XdbEncoding::Windows1252);
    EXPECT_EQ(readAll("\xF0\x9F\x98\x80").encoding, XdbEncoding::Utf8);
    // Plain ASCII reads the same either way.
    EXPECT_EQ(readAll("abc").encoding, XdbEncoding::Windows1252);
}

TEST(XdbDocument, MissingOrUnreadableFilesRaiseFileErrors)
{
    QTemporaryDir dir;
    EXPECT_EQ(errorNumberOpening(dir.filePath(QStringLiteral("nirgends.XDB"))), 53);
    EXPECT_EQ(errorNumberOpening(dir.path()), 75);
    XdbDocument doc;
    xdbdoc::writeFile(dir.filePath(QStringLiteral("leer.XDB")), QByteArray());
    doc.open(dir.filePath(QStringLiteral("leer.XDB")));
    EXPECT_TRUE(doc.atEnd());
    EXPECT_THROW(doc.readLine(), TabrixError);
}

TEST(XdbDocument, BinaryBytesReadAsTextWithoutLoss)
{
    QByteArray bytes;
    for (int round = 0; round < 4; ++round)
        for (int b = 0; b < 256; ++b)
            bytes.append(char(b));
    const Read r = readAll(bytes);
    EXPECT_EQ(r.encoding, XdbEncoding::Windows1252);
    qsizetype characters = 0;
    for (const QString& line : r.lines)
        characters += line.size();
    // Every byte but the line ends (one LF and one lone CR per round) arrives as one character.
    EXPECT_EQ(characters, bytes.size() - 4 * 2);
    EXPECT_EQ(r.positions.last(), bytes.size());
    EXPECT_TRUE(r.lines.join(QString()).contains(QChar(0)));
}
