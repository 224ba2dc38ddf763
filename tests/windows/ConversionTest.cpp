// Whole conversions from the sample Access databases into the MariaDB test
// server with the MySQL dialect, read back and compared with the source.

#include "FakeDatabase.h"
#include "MessageBoxAnswerer.h"
#include "ProgramDriver.h"
#include "QtPrinters.h"
#include "ServerProbe.h"
#include "TestSupport.h"
#include "access/AccessDatabase.h"
#include "conversion/ColumnMapping.h"
#include "conversion/TableList.h"
#include "sql/Names.h"
#include "ui/ClickableLabel.h"
#include "windows/FehlerProtokoll.h"
#include "windows/Form_Auto.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

QString shortestDouble(double d)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    return QString::fromLatin1(buf, int(r.ptr - buf));
}

QString shortestFloat(float f)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, f);
    return QString::fromLatin1(buf, int(r.ptr - buf));
}

// A Currency text as the server's DECIMAL(19,4) gives it back: "0" is "0.0000".
QString fourDecimals(const QString& s)
{
    const qsizetype dot = s.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return s + QStringLiteral(".0000");
    return s + QString(4 - (s.size() - dot - 1), QLatin1Char('0'));
}

QString withoutTrailingZeros(QString s)
{
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    return s;
}

QString stripQuotes(QString s)
{
    if (s.startsWith(QLatin1Char('"')))
        s.remove(0, 1);
    if (s.endsWith(QLatin1Char('"')))
        s.chop(1);
    return s;
}

// What the server must hold for one Access cell, as text; "<NULL>" for NULL.
// `dateBase` is set for the special time fields of the two calendar tables.
QString expectedCell(const dao::Field& f, const QVariant& v, const QDate* dateBase)
{
    if (v.isNull()) {
        // A null cell takes the Access default (or the server column's default, which is the same).
        QString d = stripQuotes(f.DefaultValue);
        if (f.Type == dao::dbBoolean)
            return QStringLiteral("0");
        if (f.DefaultValue.isEmpty())
            return QStringLiteral("<NULL>");
        if (d.isEmpty())
            d = QStringLiteral(" ");
        if (f.Type == dao::dbDouble || f.Type == dao::dbSingle)
            return shortestDouble(d.toDouble());
        if (f.Type == dao::dbCurrency)
            return fourDecimals(d);
        return d;
    }
    switch (f.Type) {
    case dao::dbBoolean:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case dao::dbByte:
    case dao::dbInteger:
    case dao::dbLong:
        return QString::number(v.toLongLong());
    case dao::dbSingle:
        return shortestFloat(v.toFloat());
    case dao::dbDouble:
        return shortestDouble(v.toDouble());
    case dao::dbDate: {
        // Every value keeps its time of day; the special time fields take the date base.
        const QDateTime t = v.toDateTime();
        return (dateBase ? *dateBase : t.date()).toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ')
            + t.time().toString(QStringLiteral("HH:mm:ss"));
    }
    case dao::dbText:
    case dao::dbMemo: {
        QString s = v.toString();
        return s;
    }
    case dao::dbCurrency: {
        const qint64 scaled = v.value<dao::Currency>().scaled;
        const qint64 magnitude = scaled < 0 ? -scaled : scaled;
        return (scaled < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 10000) + QLatin1Char('.')
            + QStringLiteral("%1").arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
    }
    case dao::dbBinary:
    case dao::dbLongBinary:
        return QString::fromLatin1(v.toByteArray().toHex());
    case dao::dbDecimal:
        return withoutTrailingZeros(v.toString());
    default:
        // GUIDs as their braced text.
        return v.toString();
    }
}

// The server's text of a cell in the same form.
QString serverCell(const dao::Field& f, const QVariant& v)
{
    if (v.isNull())
        return QStringLiteral("<NULL>");
    const QString s = v.toString();
    switch (f.Type) {
    case dao::dbSingle:
        return shortestFloat(float(s.toDouble()));
    case dao::dbDouble:
        return shortestDouble(s.toDouble());
    case dao::dbBoolean:
        // The driver hands a BIT(1) over as the character 1 or as the byte 1.
        return (s == QStringLiteral("1") || s == QString(QChar(1))
                || s.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0)
            ? QStringLiteral("1")
            : QStringLiteral("0");
    case dao::dbBinary:
    case dao::dbLongBinary:
        return QString::fromLatin1(v.toByteArray().toHex());
    case dao::dbDecimal:
        // The column has the field's scale: 12.5 comes back as 12.50.
        return withoutTrailingZeros(s);
    default:
        return s;
    }
}

QString columnList(const QList<dao::Field>& fields)
{
    QStringList names;
    for (const dao::Field& f : fields) {
        QString n = f.Name;
        if (n.compare(QStringLiteral("Auftragsbestätigung_Französisch"), Qt::CaseInsensitive) == 0)
            n = QStringLiteral("AuftragsbestätigungFranzösisch");
        names.append(BacktickQuoted(n));
    }
    return names.join(QStringLiteral(", "));
}

// Compares every row of an Access table with the server table, as sorted
// lists of row texts (no order is assumed on either side).
void expectSameRows(const dao::Database& db, const QString& table, ServerProbe& probe)
{
    auto rs = db.OpenRecordset(table);
    const QList<dao::Field> fields = rs->Fields();
    int zeit = -1, zeit1 = -1, uhrzeit = -1, datum = -1;
    for (int i = 0; i < fields.size(); ++i) {
        const QString n = fields[i].Name.toLower();
        if (n == QStringLiteral("zeit"))
            zeit = i;
        if (n == QStringLiteral("zeit1"))
            zeit1 = i;
        if (n == QStringLiteral("uhrzeit"))
            uhrzeit = i;
        if (n == QStringLiteral("datum"))
            datum = i;
    }
    std::optional<QDate> base;
    QStringList expected;
    rs->MoveFirst();
    if (!rs->Eof() && datum >= 0 && !rs->Value(datum).isNull())
        base = rs->Value(datum).toDateTime().date();
    while (!rs->Eof()) {
        QStringList cells;
        bool written = false;  // a row whose cells are all null and without defaults sends nothing
        for (int i = 0; i < fields.size(); ++i) {
            written = written || !rs->Value(i).isNull() || !fields[i].DefaultValue.isEmpty()
                || fields[i].Type == dao::dbBoolean;
            const bool special = (table == QStringLiteral("Terminkalender") && (i == zeit || i == zeit1))
                || (table == QStringLiteral("Formularprotokoll") && i == uhrzeit);
            const QDate* b = special && base ? &*base : nullptr;
            cells.append(expectedCell(fields[i], rs->Value(i), b));
        }
        if (written)
            expected.append(cells.join(QStringLiteral(" | ")));
        rs->MoveNext();
    }
    QStringList actual;
    const auto rows =
        probe.rows(QStringLiteral("SELECT ") + columnList(fields) + QStringLiteral(" FROM ") + BacktickQuoted(table));
    for (const auto& row : rows) {
        QStringList cells;
        for (int i = 0; i < fields.size(); ++i)
            cells.append(serverCell(fields[i], row.value(i)));
        actual.append(cells.join(QStringLiteral(" | ")));
    }
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    ASSERT_EQ(actual.size(), expected.size()) << table.toStdString();
    for (int i = 0; i < expected.size(); ++i) {
        if (actual[i] == expected[i])
            continue;
        // Name the first column that differs, shortened: memos run long.
        const QStringList a = actual[i].split(QStringLiteral(" | "));
        const QStringList e = expected[i].split(QStringLiteral(" | "));
        for (int c = 0; c < qMin(a.size(), e.size()); ++c)
            if (a[c] != e[c]) {
                ADD_FAILURE() << table.toStdString() << " row " << i << " column " << fields.value(c).Name.toStdString()
                              << ": server " << a[c].left(200).toStdString() << " | source "
                              << e[c].left(200).toStdString();
                break;
            }
    }
}

QStringList userTables(const dao::Database& db)
{
    QStringList tables;
    for (const dao::TableDef& def : db.TableDefs())
        if ((def.Attributes & dao::dbSystemObjectMask) == 0)
            tables.append(def.Name);
    return tables;
}

// The table's entry ends "[!Fehler!]"; the log names the table, then the server's own text with `words`.
void expectFailed(Program& app, const QStringList& log, const QString& table, const QString& words)
{
    EXPECT_EQ(app.entryOf(table), PadName(table) + QStringLiteral("[!Fehler!]"));
    const qsizetype at = log.indexOf(QStringLiteral("Tabelle: ") + table);
    ASSERT_GE(at, 0) << table.toStdString();
    ASSERT_LT(at + 1, log.size());
    EXPECT_TRUE(log[at + 1].contains(words)) << log[at + 1].toStdString();
}

// Converts every table of a sample database with the batch: each entry ends
// "[migriert]" and every row on the server equals its row in the file. The
// tables in `rejected` end "[!Fehler!]" instead, the server's text in the log
// containing the given words.
void convertWholeDatabase(const QString& path, const QMap<QString, QString>& rejected = {})
{
    ServerProbe probe;
    probe.dropAllTables();
    Program app;
    EXPECT_TRUE(app.load(path).isEmpty());
    auto db = dao::Database::OpenDatabase(path);

    const QStringList tables = userTables(*db);
    ASSERT_FALSE(tables.isEmpty());
    ASSERT_EQ(app.marked().size(), tables.size());

    const QStringList messages = app.convertMarked();
    const QString closing = rejected.isEmpty()
        ? QStringLiteral("Alle markierten Tabellen wurden konvertiert.")
        : QStringLiteral("%1 von %2 markierten Tabellen %3 nicht konvertiert; Einzelheiten im Fehler-Protokoll.")
              .arg(rejected.size())
              .arg(tables.size())
              .arg(rejected.size() == 1 ? "wurde" : "wurden");
    EXPECT_EQ(messages, QStringList{closing});
    EXPECT_TRUE(app.konv->Label1->text().startsWith(QStringLiteral("Bereit. letzte Aktion: ")));
    EXPECT_TRUE(app.konv->Command2->isEnabled());
    EXPECT_EQ(app.konv->Command9BackColor(), 255);

    const QStringList log = app.log();
    QStringList failedEntries;
    for (const QString& t : tables) {
        if (rejected.contains(t)) {
            expectFailed(app, log, t, rejected[t]);
            failedEntries.append(PadName(t) + QStringLiteral("[!Fehler!]"));
            continue;
        }
        EXPECT_EQ(app.entryOf(t), PadName(t) + QStringLiteral("[migriert]"));
        expectSameRows(*db, t, probe);
    }
    EXPECT_EQ(app.marked(), failedEntries);
    // Besides the table names the log holds only the rejected tables' errors.
    QString current;
    for (const QString& line : log) {
        if (line.startsWith(QStringLiteral("Tabelle: ")))
            current = line.mid(9);
        else
            EXPECT_TRUE(rejected.contains(current)) << current.toStdString() << ": " << line.toStdString();
    }
}

// A view of the table's name makes the server reject the CREATE TABLE ("already exists").
void blockTableWithView(ServerProbe& probe, const QString& table)
{
    probe.exec(QStringLiteral("CREATE VIEW `") + table + QStringLiteral("` AS SELECT 1 AS x"));
}

}  // namespace

TEST(Conversion, ErpSampleIntoMariaDb)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    convertWholeDatabase(path);

    // The values that needed server types of their own, named once more.
    ServerProbe probe;
    const auto cell = [&](const char* sql) { return probe.scalar(QLatin1String(sql)).toString(); };
    EXPECT_EQ(cell("SELECT MAX(CHAR_LENGTH(Notiz)) FROM AdressenStamm"), QStringLiteral("151890"));
    EXPECT_EQ(cell("SELECT Umsatz FROM AdressenStamm WHERE Nr = 1"), QStringLiteral("1234.5678"));
    // Null in the file: the default 0.
    EXPECT_EQ(cell("SELECT Umsatz FROM AdressenStamm WHERE Nr = 8"), QStringLiteral("0.0000"));
    EXPECT_EQ(cell("SELECT Kennung FROM AdressenStamm WHERE Nr = 1"),
              QStringLiteral("{B637B17A-F08A-3ED8-850C-18CCCDE915DA}"));
    EXPECT_EQ(cell("SELECT Anlage FROM AdressenStamm WHERE Nr = 1"), QStringLiteral("1996-02-02 01:07:13"));
    EXPECT_EQ(cell("SELECT Datum FROM Lieferantenbewertungen_Historie_2024 WHERE Nr = 2"),
              QStringLiteral("2031-12-31 23:59:59"));
    EXPECT_EQ(cell("SELECT COUNT(*) FROM AdressenStamm WHERE LOCATE(X'00', Logo) > 0 AND LOCATE(X'27', Logo) > 0"),
              QStringLiteral("6"));
    EXPECT_EQ(cell("SELECT HEX(Roh) FROM Sonstiges"), QStringLiteral("0102030405060708"));
    EXPECT_EQ(cell("SELECT Dezimal FROM Sonstiges"), QStringLiteral("12.50"));
}

TEST(Conversion, NorthwindIntoMariaDb)
{
    REQUIRE_FIXTURE(path, "Northwind.mdb");
    REQUIRE_TEST_SERVER();
    // "Order Details": on MySQL a name with a blank goes between grave accents.
    convertWholeDatabase(path);
}

TEST(Conversion, SecondRunRetriesExactlyTheFailedTables)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    probe.dropAllTables();
    Program app;
    EXPECT_TRUE(app.load(path).isEmpty());
    auto db = dao::Database::OpenDatabase(path);
    const QStringList blocked{QStringLiteral("AdressenStamm"), QStringLiteral("Sonstiges")};
    for (const QString& t : blocked)
        blockTableWithView(probe, t);
    app.markOnly(userTables(*db));

    app.convertMarked();
    const QStringList log = app.log();
    QStringList failedEntries;
    for (const QString& t : blocked) {
        expectFailed(app, log, t, QStringLiteral("already exists"));
        failedEntries.append(PadName(t) + QStringLiteral("[!Fehler!]"));
    }
    EXPECT_EQ(app.marked(), failedEntries);

    // With the views gone, a second run converts exactly the failed tables.
    for (const QString& t : blocked)
        probe.exec(QStringLiteral("DROP VIEW `") + t + QLatin1Char('`'));
    app.convertMarked();
    QStringList retried;
    for (const QString& line : app.log())
        if (line.startsWith(QStringLiteral("Tabelle: ")))
            retried.append(line.mid(9));
    EXPECT_EQ(retried, blocked);
    for (const QString& t : userTables(*db))
        EXPECT_EQ(app.entryOf(t), PadName(t) + QStringLiteral("[migriert]"));
    for (const QString& t : blocked)
        expectSameRows(*db, t, probe);
}

namespace {
// The table as an administrator would prepare it for a type the dialect's
// mapping gives MariaDB no match for.
QString compatibleCreateTable(const dao::TableDef& def)
{
    QStringList columns;
    for (const dao::Field& f : def.Fields) {
        QString type;
        switch (f.Type) {
        case dao::dbBoolean:
            type = QStringLiteral("BIT");
            break;
        case dao::dbByte:
        case dao::dbInteger:
            type = QStringLiteral("SMALLINT");
            break;
        case dao::dbLong:
            type = QStringLiteral("INT");
            break;
        case dao::dbCurrency:
            type = QStringLiteral("DECIMAL(19,4)");
            break;
        case dao::dbSingle:
            type = QStringLiteral("REAL");
            break;
        case dao::dbDouble:
            type = QStringLiteral("DOUBLE");
            break;
        case dao::dbDate:
            type = QStringLiteral("DATETIME");
            break;
        case dao::dbText:
            type = QStringLiteral("VARCHAR(%1)").arg(f.Size);
            break;
        case dao::dbMemo:
            type = QStringLiteral("LONGTEXT");
            break;
        case dao::dbGUID:
            type = QStringLiteral("CHAR(38)");
            break;
        default:
            type = QStringLiteral("LONGBLOB");
            break;
        }
        columns.append(QLatin1Char('`') + f.Name + QStringLiteral("` ") + type);
    }
    return QStringLiteral("CREATE TABLE `") + def.Name + QStringLiteral("` (") + columns.join(QStringLiteral(", "))
        + QLatin1Char(')');
}

// Copies a table into a prepared server table from two workstations (count 2,
// numbers 1 and 2); together they must copy every row exactly once.
void copyWithTwoWorkstations(const QString& path, const QString& table)
{
    ServerProbe probe;
    probe.dropAllTables();
    auto db = dao::Database::OpenDatabase(path);
    probe.exec(compatibleCreateTable(db->GetTableDef(table)));
    Program app;
    EXPECT_TRUE(app.load(path).isEmpty());
    app.konv->Text_Max->setText(QStringLiteral("2"));
    for (const QString& pc : {QStringLiteral("1"), QStringLiteral("2")}) {
        app.konv->Text_Mod->setText(pc);
        app.markOnly({table});
        app.convertMarked();
        EXPECT_EQ(app.entryOf(table), PadName(table) + QStringLiteral("[migriert]"))
            << app.main->fehlerProtokoll()->text().toStdString();
    }
    expectSameRows(*db, table, probe);
}
}  // namespace

TEST(Conversion, TwoWorkstationsShareTheRowsOfAPreparedTable)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    // Umlauts, apostrophes, a backslash path, 17-digit doubles, the long memo, OLE bytes with NUL and apostrophe.
    copyWithTwoWorkstations(path, QStringLiteral("AdressenStamm"));
}

TEST(Conversion, TwoWorkstationsCopyNorthwindPicturesByteExact)
{
    REQUIRE_FIXTURE(path, "Northwind.mdb");
    REQUIRE_TEST_SERVER();
    copyWithTwoWorkstations(path, QStringLiteral("Categories"));
    copyWithTwoWorkstations(path, QStringLiteral("Employees"));
}

TEST(Conversion, StructurePhaseOnMariaDb)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    probe.dropAllTables();
    Program app;
    EXPECT_TRUE(app.load(path).isEmpty());
    app.konv->Check_NoData->setChecked(true);

    // A table with a key.
    app.konv->Text1->setText(QStringLiteral("Kunden"));
    app.konv->TableFailed = false;
    app.konv->Command1_SIK();
    EXPECT_FALSE(app.konv->TableFailed);
    const QString kunden = probe.rows(QStringLiteral("SHOW CREATE TABLE Kunden")).value(0).value(1).toString();
    EXPECT_TRUE(kunden.contains(QStringLiteral("PRIMARY KEY"))) << kunden.toStdString();

    // No key, identity column asked for.
    app.konv->Check_Autowert->setChecked(true);
    app.konv->Text1->setText(QStringLiteral("Artikel"));
    app.konv->Command1_SIK();
    EXPECT_FALSE(app.konv->TableFailed);
    const QString artikel = probe.rows(QStringLiteral("SHOW CREATE TABLE Artikel")).value(0).value(1).toString();
    EXPECT_TRUE(artikel.contains(QStringLiteral("`AutoWertIdentität` int(11) NOT NULL AUTO_INCREMENT")))
        << artikel.toStdString();
    EXPECT_TRUE(app.information().first().startsWith(QStringLiteral("CREATE TABLE Artikel ")));
    EXPECT_EQ(app.information().value(2), QStringLiteral("AutoWertIdentität INT NOT NULL auto_increment PRIMARY KEY"));
    EXPECT_EQ(app.information().last(), QStringLiteral(" ENGINE=BDB"));
    EXPECT_EQ(app.main->formAuto()->listAuto()->item(app.main->formAuto()->listAuto()->count() - 1)->text(),
              QStringLiteral("Artikel"));

    // Every Access type has a server type: AdressenStamm (Currency, OLE, GUID, Memo) is created.
    app.konv->Text1->setText(QStringLiteral("AdressenStamm"));
    app.konv->Command1_SIK();
    EXPECT_FALSE(app.konv->TableFailed) << app.main->state.LastErrorText.toStdString();
    const QString adressen = probe.rows(QStringLiteral("SHOW CREATE TABLE AdressenStamm")).value(0).value(1).toString();
    for (const char* column :
         {"`Umsatz` decimal(19,4) DEFAULT 0", "`Gesperrt` bit(1) NOT NULL DEFAULT b'1'",
          "`Aktiv` bit(1) NOT NULL DEFAULT b'1'", "`Notiz` longtext", "`Logo` longblob", "`Kennung` char(38)"})
        EXPECT_TRUE(adressen.contains(QLatin1String(column))) << column << "\n" << adressen.toStdString();
    app.konv->Text1->setText(QStringLiteral("Sonstiges"));
    app.konv->Command1_SIK();
    EXPECT_FALSE(app.konv->TableFailed) << app.main->state.LastErrorText.toStdString();
    const QString sonstiges = probe.rows(QStringLiteral("SHOW CREATE TABLE Sonstiges")).value(0).value(1).toString();
    EXPECT_TRUE(sonstiges.contains(QStringLiteral("`Roh` varbinary(8)"))) << sonstiges.toStdString();
    EXPECT_TRUE(sonstiges.contains(QStringLiteral("`Dezimal` decimal(10,2)"))) << sonstiges.toStdString();
    probe.exec(QStringLiteral("DROP TABLE AdressenStamm"));

    // A CREATE TABLE the server rejects: the failure reaches the caller, the list keeps the statement.
    blockTableWithView(probe, QStringLiteral("AdressenStamm"));
    app.konv->Text1->setText(QStringLiteral("AdressenStamm"));
    app.konv->Command1_SIK();
    EXPECT_TRUE(app.konv->TableFailed);
    EXPECT_EQ(app.information().first(), QStringLiteral("CREATE TABLE AdressenStamm "));
    EXPECT_EQ(app.information().last(), QStringLiteral(" ENGINE=BDB"));
    EXPECT_TRUE(app.main->state.LastErrorText.contains(QStringLiteral("already exists")))
        << app.main->state.LastErrorText.toStdString();
    EXPECT_EQ(app.konv->Label1->text(), QStringLiteral("Fertig."));
    EXPECT_TRUE(app.konv->Command2->isEnabled());
    EXPECT_FALSE(app.konv->Busy);
    EXPECT_EQ(probe
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM INFORMATION_SCHEMA.TABLES WHERE TABLE_SCHEMA = "
                                         "DATABASE() AND TABLE_NAME = 'AdressenStamm' AND TABLE_TYPE = 'BASE TABLE'"))
                  .toString(),
              QStringLiteral("0"));
}

TEST(Conversion, MessageBoxWaitsForTheUser)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    probe.dropAllTables();
    Program app;
    EXPECT_TRUE(app.load(path).isEmpty());
    blockTableWithView(probe, QStringLiteral("AdressenStamm"));
    app.konv->Check_Message->setChecked(true);
    app.markOnly({QStringLiteral("AdressenStamm"), QStringLiteral("Artikel")});
    MessageBoxAnswerer answers;
    QString entryWhileWaiting;
    answers.onShown = [&](QMessageBox*) {
        if (entryWhileWaiting.isEmpty())
            entryWhileWaiting = app.entryOf(QStringLiteral("AdressenStamm"));
    };
    app.konv->Command2->click();
    ASSERT_GE(answers.seen.size(), 2);
    EXPECT_EQ(answers.seen[0].title, QStringLiteral("Anlegen der Tabelle"));
    EXPECT_TRUE(answers.seen[0].text.startsWith(QStringLiteral("40002 ,  ")));
    EXPECT_TRUE(answers.seen[0].text.endsWith(QStringLiteral(" ,  ODBC")));
    // The batch stood still while the box was open.
    EXPECT_EQ(entryWhileWaiting, QStringLiteral("AdressenStamm"));
    EXPECT_EQ(answers.seen.last().text,
              QStringLiteral("1 von 2 markierten Tabellen wurde nicht konvertiert; Einzelheiten im Fehler-Protokoll."));
    EXPECT_EQ(app.entryOf(QStringLiteral("AdressenStamm")),
              PadName(QStringLiteral("AdressenStamm")) + QStringLiteral("[!Fehler!]"));
    EXPECT_EQ(app.entryOf(QStringLiteral("Artikel")),
              PadName(QStringLiteral("Artikel")) + QStringLiteral("[migriert]"));
}

namespace {
// Runs the batch on bench.mdb's Buchungen and, once rows are being copied,
// calls `interrupt`; returns the number of rows that reached the server.
long interruptedCopy(Program& app, ServerProbe& probe, const std::function<void()>& interrupt,
                     QStringList* boxes = nullptr)
{
    app.markOnly({QStringLiteral("Buchungen")});
    QTimer timer;
    bool done = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const QString status = app.konv->Label1->text();
        if (!done && copiedRows(status) >= 500) {
            done = true;
            interrupt();
        }
    });
    // Check often: the status line yields to the user interface on every row.
    timer.start(0);
    MessageBoxAnswerer answers;
    app.konv->Command2->click();
    EXPECT_TRUE(done);
    if (boxes)
        *boxes = answers.texts();
    return probe.scalar(QStringLiteral("SELECT COUNT(*) FROM Buchungen")).toString().toLong();
}
}  // namespace

TEST(Conversion, StopPictureEndsTheCopyAndMarksTheTableFailed)
{
    REQUIRE_FIXTURE(path, "bench.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    probe.dropAllTables();
    Program app;
    EXPECT_TRUE(app.load(path).isEmpty());
    QStringList boxes;
    const long copied = interruptedCopy(
        app, probe,
        [&] {
            EXPECT_TRUE(app.konv->Image1->isVisible());
            EXPECT_FALSE(app.konv->Command2->isEnabled());
            EXPECT_TRUE(app.konv->Label1->text().startsWith(QStringLiteral("Tabelle 1 von 1: ")));
            app.konv->Image1->clicked();
        },
        &boxes);
    EXPECT_EQ(boxes,
              QStringList{QStringLiteral("Die Konvertierung wurde angehalten. 1 von 1 markierten Tabellen wurde "
                                         "nicht konvertiert; Einzelheiten im Fehler-Protokoll.")});
    EXPECT_GE(copied, 499);
    EXPECT_LT(copied, 200000);
    EXPECT_EQ(app.entryOf(QStringLiteral("Buchungen")),
              PadName(QStringLiteral("Buchungen")) + QStringLiteral("[!Fehler!]"));
    EXPECT_EQ(app.marked().size(), 1);
    EXPECT_FALSE(app.konv->Image1->isVisible());
    EXPECT_TRUE(app.konv->Command2->isEnabled());
    EXPECT_FALSE(app.konv->AbortRequested);
}

TEST(Conversion, CloseRequestDuringTheCopyStopsItAndKeepsTheWindow)
{
    REQUIRE_FIXTURE(path, "bench.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    probe.dropAllTables();
    Program app;
    EXPECT_TRUE(app.load(path).isEmpty());
    const long copied = interruptedCopy(app, probe, [&] { app.konv->parentWidget()->close(); });
    EXPECT_GE(copied, 499);
    EXPECT_LT(copied, 200000);
    // A half-filled table is never called converted.
    EXPECT_EQ(app.entryOf(QStringLiteral("Buchungen")),
              PadName(QStringLiteral("Buchungen")) + QStringLiteral("[!Fehler!]"));
    EXPECT_EQ(app.marked().size(), 1);
    ASSERT_NE(app.main->konvertierung(), nullptr);
    EXPECT_TRUE(app.konv->isVisible());
}

// Names and values that break careless statement builders: on MySQL every
// name arrives as it stands in the file, every value unchanged (NUL
// characters, backslashes, apostrophes, grave accents, emoji included).
TEST(Conversion, HostileNamesArriveAsTheyStand)
{
    REQUIRE_FIXTURE(path, "hostile-names.mdb");
    REQUIRE_TEST_SERVER();
    // Its AdressenStamm.Logo is an OLE column retyped as Memo: six of its texts
    // hold halves of UTF-16 surrogate pairs, which no server text can hold.
    convertWholeDatabase(
        path, {{QStringLiteral("AdressenStamm"), QStringLiteral("Feld Logo: der Text enthält ungültige Zeichen")}});

    ServerProbe probe;
    auto db = dao::Database::OpenDatabase(path);
    QStringList expectedTables = userTables(*db);
    QStringList serverTables;
    for (const auto& row :
         probe.rows(QStringLiteral("SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES WHERE TABLE_SCHEMA = DATABASE()")))
        serverTables.append(row.value(0).toString());
    expectedTables.sort();
    serverTables.sort();
    EXPECT_EQ(serverTables, expectedTables);
    for (const QString& table : expectedTables) {
        QStringList expectedColumns;
        for (const dao::Field& f : db->GetTableDef(table).Fields)
            expectedColumns.append(ShortenColumnNames(f.Name));
        QStringList serverColumns;
        for (const auto& row : probe.rows(QStringLiteral("SELECT COLUMN_NAME FROM INFORMATION_SCHEMA.COLUMNS WHERE "
                                                         "TABLE_SCHEMA = DATABASE() AND TABLE_NAME = '")
                                          + QString(table).replace(QLatin1Char('\''), QLatin1String("''"))
                                          + QStringLiteral("' ORDER BY ORDINAL_POSITION")))
            serverColumns.append(row.value(0).toString());
        EXPECT_EQ(serverColumns, expectedColumns) << table.toStdString();
    }
    // Every row of the table with the broken texts arrived all the same.
    EXPECT_EQ(probe.scalar(QStringLiteral("SELECT COUNT(*) FROM AdressenStamm")).toString(), QStringLiteral("25"));
    // The seven NULs of the third firm came back as NULs, not as blanks.
    EXPECT_EQ(
        probe.scalar(QStringLiteral("SELECT COUNT(*) FROM `Ku'den` WHERE Firma = REPEAT(CHAR(0 USING utf8mb4), 7)"))
            .toString(),
        QStringLiteral("1"));
}

// A table and a column whose names hold a backslash: the backslash doubling
// for MySQL's string literals leaves names between grave accents alone.
TEST(Conversion, BackslashInNamesIsNotDoubled)
{
    REQUIRE_FIXTURE(source, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    QFile in(source);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray bytes = in.readAll();
    // Same-length replacements of the names' UTF-16 bytes: table Artikel
    // becomes Art\kel, column Menge of F5SB90R becomes Me\ge.
    const auto utf16 = [](const QString& s) {
        return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
    };
    const auto patch = [&](const QString& from, const QString& to) {
        const qsizetype at = bytes.indexOf(utf16(from));
        ASSERT_GE(at, 0) << from.toStdString();
        bytes.replace(at, from.size() * 2, utf16(to));
    };
    patch(QStringLiteral("Artikel"), QStringLiteral("Art\\kel"));
    patch(QStringLiteral("Menge"), QStringLiteral("Me\\ge"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("backslash.mdb"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();

    ServerProbe probe;
    probe.dropAllTables();
    Program app;
    EXPECT_TRUE(app.load(path).isEmpty());
    app.markOnly({QStringLiteral("Art\\kel"), QStringLiteral("F5SB90R")});
    app.convertMarked();
    EXPECT_EQ(app.entryOf(QStringLiteral("Art\\kel")),
              PadName(QStringLiteral("Art\\kel")) + QStringLiteral("[migriert]"));
    EXPECT_EQ(app.entryOf(QStringLiteral("F5SB90R")),
              PadName(QStringLiteral("F5SB90R")) + QStringLiteral("[migriert]"));
    EXPECT_EQ(probe
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_SCHEMA = "
                                         "DATABASE() AND COLUMN_NAME = 'Me\\\\ge'"))
                  .toString(),
              QStringLiteral("1"));
    EXPECT_EQ(probe
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM INFORMATION_SCHEMA.TABLES WHERE TABLE_SCHEMA = "
                                         "DATABASE() AND TABLE_NAME = 'Art\\\\kel'"))
                  .toString(),
              QStringLiteral("1"));
    auto db = dao::Database::OpenDatabase(path);
    expectSameRows(*db, QStringLiteral("Art\\kel"), probe);
    expectSameRows(*db, QStringLiteral("F5SB90R"), probe);
}

// MariaDB takes a key and an index over a column named Key and a Memo column,
// and a table whose default calls GenGUID() (left out and logged); its rows
// arrive, the empty cell stays NULL.
TEST(Conversion, ReservedWordKeysMemoIndexesAndAccessOnlyDefaultsOnMariaDb)
{
    REQUIRE_FIXTURE(path, "erp-sample.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    probe.dropAllTables();
    Program app;
    EXPECT_TRUE(app.load(path).isEmpty());
    auto fake = std::make_unique<FakeDatabase>();
    fake->addTable(
        QStringLiteral("Schluessel"),
        {makeField(QStringLiteral("Key"), dao::dbLong, 0, true), makeField(QStringLiteral("Notiz"), dao::dbMemo),
         makeField(QStringLiteral("Kennung"), dao::dbText, 38, false, QStringLiteral("GenGUID()")),
         makeField(QStringLiteral("Am"), dao::dbDate, 0, false, QStringLiteral("=Now()"))},
        {dao::Index{QStringLiteral("PrimaryKey"), true, true, {QStringLiteral("Key"), QStringLiteral("Notiz")}},
         dao::Index{QStringLiteral("Ix_Notiz"), false, false, {QStringLiteral("Notiz"), QStringLiteral("Key")}}});
    fake->rows[QStringLiteral("Schluessel")] = {{1, QStringLiteral("a"), QVariant(), QVariant()},
                                                {2, QStringLiteral("b"), QStringLiteral("{x}"), QVariant()}};
    app.konv->SourceDatabase = std::move(fake);
    app.konv->Text1->setText(QStringLiteral("Schluessel"));
    app.konv->TableFailed = false;
    app.konv->Command1_SIK();
    EXPECT_FALSE(app.konv->TableFailed) << app.main->state.LastErrorText.toStdString();
    EXPECT_EQ(probe.scalar(QStringLiteral("SELECT COUNT(*) FROM Schluessel WHERE Kennung IS NULL")).toInt(), 1);
    EXPECT_EQ(probe
                  .scalar(QStringLiteral("SELECT COUNT(*) FROM INFORMATION_SCHEMA.STATISTICS WHERE TABLE_SCHEMA = "
                                         "DATABASE() AND TABLE_NAME = 'Schluessel' AND INDEX_NAME = 'Ix_Notiz'"))
                  .toInt(),
              2);
    EXPECT_TRUE(app.log()
                    .join(QLatin1Char('\n'))
                    .contains(QStringLiteral(
                        "Tabelle Schluessel, Feld Kennung: der Standardwert GenGUID() hat auf dem Server keine "
                        "Entsprechung und wird ausgelassen.")))
        << app.log().join(QLatin1Char('\n')).toStdString();
}

namespace {

// Every row on the server, with its table's name and each value's bytes in hexadecimal, sorted.
QStringList serverContents(ServerProbe& probe)
{
    QStringList lines;
    for (const auto& table : probe.rows("SHOW TABLES"))
        for (const auto& row : probe.rows("SELECT * FROM " + BacktickQuoted(table.value(0).toString()))) {
            lines += table.value(0).toString();
            for (const QVariant& v : row)
                lines.last() += v.isNull() ? " NULL" : " " + v.toByteArray().toHex();
        }
    lines.sort();
    return lines;
}

// Loads the file, converts (`act`, or the marked tables) row by row, sharing INSERTs and with parameter arrays,
// each into an empty database: the same log, rows stored, and status line and rows stored at each message box.
void expectSameWithSharedInserts(const QString& path, const std::function<void(Program&)>& act = {})
{
    ServerProbe probe;
    QStringList log[3], contents[3], waits[3];
    long long inserts[3];
    const QString count =
        "SELECT VARIABLE_VALUE FROM INFORMATION_SCHEMA.GLOBAL_STATUS WHERE VARIABLE_NAME='COM_INSERT'";
    for (const int way : {0, 1, 2}) {  // row by row, shared INSERTs, arrays
        probe.dropAllTables();
        qputenv("TABRIX_PARAMETER_ARRAYS", way == 1 ? "0" : "1");
        Program app;
        EXPECT_TRUE(app.load(path).isEmpty());
        app.konv->Check_MehrereZeilen->setChecked(way != 0);
        MessageBoxAnswerer answers;
        answers.onShown = [&](QMessageBox* box) {
            const QString status = app.konv->Label1->text();
            waits[way] << box->text() << status.left(status.contains('%') ? 99 : 0)
                       << QString::number(serverContents(probe).size());
        };
        inserts[way] = -probe.scalar(count).toLongLong();
        act ? act(app) : app.konv->Command2->click();
        inserts[way] += probe.scalar(count).toLongLong();
        log[way] = app.log();
        contents[way] = serverContents(probe);
    }
    qunsetenv("TABRIX_PARAMETER_ARRAYS");
    for (const int way : {1, 2}) {
        SCOPED_TRACE(way);
        EXPECT_EQ(log[way], log[0]);
        EXPECT_EQ(waits[way], waits[0]);
        EXPECT_LT(inserts[way], std::max(inserts[0], 2LL));  // the rows did share statements
        EXPECT_TRUE(contents[way] == contents[0]) << contents[way].size() << " lines, not " << contents[0].size();
    }
}

}  // namespace

// The option changes how the rows travel, never what arrives: whole files; keys twice, a text too long in
// the strict mode of the test server and a broken text, with "Fehlermeldungen anzeigen".
TEST(Conversion, SharedInsertsStoreWhatRowByRowStores)
{
    REQUIRE_FIXTURE(erp, "erp-sample.mdb");
    REQUIRE_FIXTURE(hostile, "hostile-names.mdb");
    REQUIRE_FIXTURE(bench, "bench.mdb");
    REQUIRE_TEST_SERVER();
    expectSameWithSharedInserts(erp);
    expectSameWithSharedInserts(hostile);
    for (const char* more :
         {"Northwind.mdb", "testV2000.mdb", "fixedNumericTestV2000.mdb", "pt-restbuilding-banco.mdb"})
        if (const QString path = fixturePath(QString::fromLatin1(more)); !path.isEmpty()) {
            SCOPED_TRACE(more);
            expectSameWithSharedInserts(path);
        }
    expectSameWithSharedInserts(bench, [](Program& app) {  // the first 20,000 rows of each table
        auto first = std::make_unique<FakeDatabase>();
        for (const QString table : {"Konten", "Buchungen"}) {
            first->tables.append(app.konv->SourceDatabase->GetTableDef(table));
            auto rs = app.konv->SourceDatabase->OpenRecordset(table);
            for (int n = 0; n < 20000 && !rs->Eof(); ++n, rs->MoveNext())
                for (int i = 0; i < rs->Fields().size(); ++i)
                    (i ? first->rows[table].last() : first->rows[table].emplace_back()).append(rs->Value(i));
        }
        app.konv->SourceDatabase = std::move(first);
        app.konv->Command2->click();
    });
    expectSameWithSharedInserts(erp, [](Program& app) {
        auto db = std::make_unique<FakeDatabase>();
        db->addTable("T", {makeField("Nr", dao::dbLong), makeField("Name", dao::dbText, 5)},
                     {dao::Index{"PrimaryKey", true, true, {"Nr"}}});
        for (int i = 1; i <= 2500; ++i)
            db->rows["T"].append(FakeRow{i, QString::number(i)});
        db->rows["T"][699][0] = db->rows["T"][1500][0] = 7;
        db->rows["T"][1499][1] = "zu lang";
        db->rows["T"][1599][1] = QString(QChar(0xD800));
        app.konv->SourceDatabase = std::move(db);
        app.konv->Check_Message->setChecked(true);
        app.konv->Text1->setText("T");
        app.konv->Command1_SIK();
    });
}
