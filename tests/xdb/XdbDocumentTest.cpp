// Reading the document: line ends, code page, positions, unreadable files.

#include "xdb/XdbDocument.h"

#include "QtPrinters.h"
#include "XdbDocuments.h"
#include "core/CodePage.h"
#include "core/TabrixError.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct Read {
    QStringList lines;
    QList<qint64> positions;
    QList<long> tooLong;  // numbers of the lines too long to keep
};

Read readAll(const QByteArray& bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QEL.XDB"));
    xdbdoc::writeFile(path, bytes);
    XdbDocument doc;
    doc.open(path);
    Read r;
    while (!doc.atEnd()) {
        r.lines.append(doc.readLine());
        r.positions.append(doc.position());
        if (doc.lineTooLong())
            r.tooLong.append(doc.lineNumber());
    }
    return r;
}

}  // namespace

TEST(XdbDocument, EveryLineEndEndsALineAndPositionsCountBytes)
{
    EXPECT_EQ(readAll("a\nb\rc\r\n").lines, (QStringList{"a", "b", "c"}));
    // LF CR is two line ends; blank lines count; the last line needs none.
    const Read r = readAll("ab\r\nc\n\rd\r\n\r\ne");
    EXPECT_EQ(r.lines, (QStringList{"ab", "c", "", "d", "", "e"}));
    EXPECT_EQ(r.positions, (QList<qint64>{4, 6, 7, 10, 12, 13}));
    EXPECT_TRUE(readAll("").lines.isEmpty());

    // The reader works in pieces of 64 KiB: a CR LF or an umlaut across two pieces stays whole.
    const QByteArray first(60000, 'x');
    const QByteArray second(64 * 1024 - 60001 - 2, 'y');
    EXPECT_EQ(readAll(first + "\n" + second + "\r\nnext").lines.value(2), QStringLiteral("next"));
    EXPECT_TRUE(readAll(first + "\n" + second + "\xC3\xBC\r\n").lines.value(1).endsWith(QStringLiteral("yü")));

    // A line of more than 64 KiB is read to its end but not kept; the next line is whole.
    const QByteArray longest(64 * 1024, 'z');
    const Read l = readAll("a\n" + longest + "\r\n" + longest + "z\r\nb");
    EXPECT_EQ(l.lines, (QStringList{"a", QString(longest), QString(), "b"}));
    EXPECT_EQ(l.tooLong, QList<long>{3});
    EXPECT_EQ(l.positions.last(), 2 + 2 * 64 * 1024 + 1 + 4 + 1);
}

TEST(XdbDocument, EachLineIsUtf8WhenItIsValidUtf8AndWindows1252Otherwise)
{
    EXPECT_EQ(readAll("Auftragsbest\xE4tigung \x80 \x84x\x93\r\n\x81\x9D").lines,
              (QStringList{QStringLiteral("Auftragsbestätigung € „x“"), QString::fromUtf16(u"\u0081\u009D")}));
    // The byte-order mark is no part of the first line.
    EXPECT_EQ(readAll("\xEF\xBB\xBF"
                      "Stra\xC3\x9F"
                      "e \xE2\x82\xAC \xF0\x9F\x98\x80\n")
                  .lines,
              QStringList{QString::fromUtf16(u"Straße € \U0001F600")});

    // An invalid sequence (overlong, surrogate, beyond U+10FFFF, cut off) makes its own line Windows-1252 only.
    for (const QByteArray& bad :
         {QByteArray("\xC0\xAF"), QByteArray("\xED\xA0\x80"), QByteArray("\xF4\x90\x80\x80"), QByteArray("\xE2\x82")})
        EXPECT_EQ(readAll("Gr\xC3\xB6\xC3\x9F"
                          "e\r\n"
                          + bad + "\r\nMa\xC3\x9F")
                      .lines,
                  (QStringList{QStringLiteral("Größe"), FromWindows1252(bad), QStringLiteral("Maß")}))
            << bad.toHex().toStdString();
}

TEST(XdbDocument, MissingOrUnreadableFilesRaiseFileErrors)
{
    QTemporaryDir dir;
    auto numberOpening = [](const QString& path) {
        try {
            XdbDocument().open(path);
        } catch (const TabrixError& e) {
            return e.number();
        }
        return 0L;
    };
    EXPECT_EQ(numberOpening(dir.filePath(QStringLiteral("nirgends.XDB"))), 53);
    // No regular file: refused at once, never waited on or read without end.
    const QString fifo = dir.filePath(QStringLiteral("fifo.XDB"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {dir.path(), fifo, QStringLiteral("/dev/zero")})
        EXPECT_EQ(numberOpening(path), 75) << path.toStdString();
}
