// Reading the document: line ends, code page, positions, unreadable files.

#include "xdb/XdbDocument.h"

#include "QtPrinters.h"
#include "XdbDocuments.h"
#include "core/TabrixError.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Read {
    QStringList lines;
    QList<qint64> positions;
    XdbEncoding encoding = XdbEncoding::Windows1252;
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
    while (!doc.atEnd()) {
        r.lines.append(doc.readLine());
        r.positions.append(doc.position());
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
    QByteArray bytes(64 * 1024 - 1, 'x');
    EXPECT_EQ(readAll(bytes + "\r\nnext").lines.value(1), QStringLiteral("next"));
    const Read u = readAll(bytes + "\xC3\xBC\r\n");
    EXPECT_EQ(u.encoding, XdbEncoding::Utf8);
    EXPECT_TRUE(u.lines.value(0).endsWith(QStringLiteral("xü")));
}

TEST(XdbDocument, Windows1252UnlessTheWholeFileIsUtf8WithANonAsciiCharacter)
{
    const Read shipped = readAll("Auftragsbest\xE4tigung \x80 \x84x\x93\r\n\x81\x9D");
    EXPECT_EQ(shipped.encoding, XdbEncoding::Windows1252);
    EXPECT_EQ(shipped.lines,
              (QStringList{QStringLiteral("Auftragsbestätigung € „x“"), QString::fromUtf16(u"\u0081\u009D")}));

    const Read edited = readAll("\xEF\xBB\xBF"
                                "Stra\xC3\x9F"
                                "e \xE2\x82\xAC \xF0\x9F\x98\x80\n");
    EXPECT_EQ(edited.encoding, XdbEncoding::Utf8);
    EXPECT_EQ(edited.lines.value(0), QString::fromUtf16(u"Straße € \U0001F600"));  // without the byte-order mark

    // One invalid sequence anywhere (overlong, surrogate, beyond U+10FFFF, cut off) makes it Windows-1252.
    EXPECT_EQ(readAll("Stra\xC3\x9F"
                      "e\r\nGr\xF6\xDF"
                      "e")
                  .lines,
              (QStringList{QStringLiteral("StraÃŸe"), QStringLiteral("Größe")}));
    for (const QByteArray& bad : {QByteArray("\xC0\xAF"), QByteArray("\xED\xA0\x80"), QByteArray("\xF4\x90\x80\x80"),
                                  QByteArray("ok \xE2\x82")})
        EXPECT_EQ(readAll(bad).encoding, XdbEncoding::Windows1252) << bad.toHex().toStdString();
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
    EXPECT_EQ(numberOpening(dir.path()), 75);
}
