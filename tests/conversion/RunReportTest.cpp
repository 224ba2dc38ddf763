// The report of a run: the HTML read back as a browser would find it, and
// where the files are kept.

#include "conversion/RunReport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

RunReport sample()
{
    RunReport r;
    r.action = QStringLiteral("Komplette Übernahme");
    r.started = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
    r.ended = QDateTime(QDate(2024, 3, 5), QTime(15, 9, 14));
    r.dataSource = QStringLiteral("QELSQL");
    r.dialect = Dialect::MySQL;
    r.accessFile = QStringLiteral("/daten/qel & co.mdb");
    TableOutcome passed{QStringLiteral("Kunden & <Söhne> \"alt\""), TableResult::Converted, 1204, 1204};
    passed.check = {DataCheckResult::Passed, {}, {}, 1204, 17, QStringLiteral("2 beschädigte Datensätze")};
    TableOutcome failed{QStringLiteral("Artikel"), TableResult::Failed, 5, 4, QStringLiteral("23000:Duplicate")};
    failed.logLines = {QStringLiteral("23000:Duplicate entry '3' for key <PRIMARY>")};
    TableOutcome differs{QStringLiteral("Preise"), TableResult::Converted, 3, 3};
    differs.check.result = DataCheckResult::Differences;
    differs.check.differences = {
        {QStringLiteral("Betrag"), QStringLiteral("Summe"), QStringLiteral("12,5"), QStringLiteral("12,4"), QString()}};
    r.tables = {passed, failed, differs};
    r.views = ViewsOutcome{RunOutcome::Completed,
                           {{QStringLiteral("v_gut"), {}},
                            {QStringLiteral("v<&>"), {ViewOutcome::Refused, QStringLiteral("42000:near '<'"), 40002}}}};
    r.triggers =
        TriggersOutcome{RunOutcome::Completed,
                        {{QStringLiteral("Auftrag"), QStringLiteral("uAuftrag"), true, {}},
                         {QStringLiteral("Kunden"), QStringLiteral("dKunden"), false, QStringLiteral("HY000:no")}}};
    r.xdbRan = true;
    r.xdbErrors = {QStringLiteral("\tTabelle existiert nicht!")};
    return r;
}

}  // namespace

TEST(RunReport, ReadBackFailuresFirstEveryNameIntact)
{
    const QString html = RunReportHtml(sample());
    EXPECT_FALSE(html.contains(QLatin1String("<script"), Qt::CaseInsensitive));
    // Well-formed: an XML reader walks it to the end.
    QXmlStreamReader xml(html);
    QStringList names, facts, sections;
    QString rowClass, fact;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const QString cls = xml.attributes().value(QLatin1String("class")).toString();
        if (xml.name() == QLatin1String("section"))
            sections << cls;
        else if (xml.name() == QLatin1String("tr"))
            rowClass = cls;
        else if (xml.name() == QLatin1String("td") && cls == QLatin1String("name"))
            names << rowClass + QLatin1Char(':') + xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == QLatin1String("th") && sections.isEmpty())
            fact = xml.readElementText();
        else if (xml.name() == QLatin1String("td") && sections.isEmpty() && !fact.isEmpty())
            facts << fact + QLatin1Char('=') + xml.readElementText(), fact.clear();
        else if (xml.name() == QLatin1String("pre") && cls == QLatin1String("xdb"))
            names << QStringLiteral("xdb:") + xml.readElementText();
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line " << xml.lineNumber();
    EXPECT_EQ(sections, (QStringList{"fehler", "ok"}));
    EXPECT_EQ(names,
              (QStringList{"tabelle fehler:Artikel", "tabelle abweichung:Preise", "sicht fehler:v<&>",
                           "trigger fehler:Kunden", "xdb:\tTabelle existiert nicht!",
                           "tabelle ok:Kunden & <Söhne> \"alt\"", "sicht ok:v_gut", "trigger ok:Auftrag"}));
    EXPECT_EQ(facts,
              (QStringList{
                  "Beginn=05.03.2024 14:07:09",
                  "Ende=05.03.2024 15:09:14",
                  "Dauer=1 h 2 min 5 s",
                  "Datenquelle=QELSQL",
                  "Dialekt=MySQL",
                  "Access-Datei=/daten/qel & co.mdb",
                  "XDB-Dokument=–",
                  "Datenprüfung=eingeschaltet",
                  "Ergebnis=1 Tabelle nicht konvertiert, 1 Tabelle mit Abweichungen, 1 Sicht nicht angelegt, 1 "
                  "Trigger abgewiesen, 1 Fehlerzeile des XDB-Dokuments",
              }));
    // The details: the failed table's log line, the difference's figures, the check and what was left out.
    for (const char* shown : {"23000:Duplicate entry '3' for key &lt;PRIMARY&gt;", "<td>Betrag</td><td>Summe</td>",
                              "bestanden (17 Zahlen verglichen)", "Vom Programm ausgelassen: 2 beschädigte Datensätze",
                              "<td class=\"zahl\">1.204</td>", "42000:near '&lt;'"})
        EXPECT_TRUE(html.contains(QString::fromUtf8(shown))) << shown;
}

TEST(RunReport, KeptForItsOwnerByDateAndTimeOrWhereTold)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const auto in = [&dir](const char* name) { return dir.filePath(QString::fromUtf8(name)); };
    const QString stamp = QStringLiteral("/bericht-2024-03-05-150914");
    const struct {
        QString target, path;  // path empty: not written
        const char* error;
    } cases[] = {
        {{}, ReportFolder() + stamp + ".html", ""},
        {{}, ReportFolder() + stamp + "-2.html", ""},  // the same second again
        {dir.path(), dir.path() + stamp + ".html", ""},
        {in("neu/"), in("neu") + stamp + ".html", ""},
        {in("lauf.html"), in("lauf.html"), ""},
        {in("lauf.html"), in("lauf.html"), ""},  // written over
        {in("fehlt/lauf.html"), {}, "No such file or directory"},
        {fifo, {}, "No such device or address"},  // refused at once, never waited for
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        const WrittenReport written = WriteRunReport(sample(), c.target);
        EXPECT_EQ(written.path, c.path);
        EXPECT_EQ(written.error,
                  *c.error ? QStringLiteral("Der Bericht %1 kann nicht geschrieben werden: %2")
                                 .arg(c.target, QString::fromUtf8(c.error))
                           : QString());
        if (c.path.isEmpty())
            continue;
        EXPECT_EQ(QFileInfo(c.path).permissions() & 0x7777,
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QFile file(c.path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(file.readAll()), RunReportHtml(sample()));
        EXPECT_EQ(LatestReport(c.target), c.path);
    }
    struct stat folder {};
    ASSERT_EQ(::stat(QFile::encodeName(ReportFolder()).constData(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    EXPECT_EQ(LatestReport(dir.filePath(QStringLiteral("leer/"))), QString());
}
