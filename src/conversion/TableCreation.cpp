#include "conversion/TableCreation.h"

#include "conversion/ColumnMapping.h"
#include "conversion/KeysAndIndexes.h"
#include "core/TabrixError.h"
#include "sql/Names.h"

namespace {

const QString identityName = QStringLiteral("AutoWertIdentität");

// A drop whose failure only means there was nothing to drop.
void executeIgnoringErrors(ConversionHost& host, QString statement)
{
    try {
        host.executeSql(statement);
    } catch (const TabrixError&) {
    }
}

}  // namespace

QString OracleSequenceName(const QString& table, const QDateTime& time)
{
    return QStringLiteral("SEQ_") + (table + TimeStamp12(time)).right(26);
}

QString OracleTriggerStatement(const QString& table, const QString& sequence)
{
    return QStringLiteral("CREATE TRIGGER TRG_") + table.right(26) + QStringLiteral(" BEFORE INSERT OR UPDATE ON ")
        + table + QStringLiteral(" FOR EACH ROW DECLARE  iCounter ") + table
        + QStringLiteral(".AutoWertIdentität%TYPE;  cannot_change_counter EXCEPTION; BEGIN  IF INSERTING THEN  Select ")
        + sequence
        + QStringLiteral(".NEXTVAL INTO iCounter FROM Dual; :new.AutoWertIdentität :=iCounter; END IF; IF UPDATING "
                         "THEN IF NOT (:new.AutoWertIdentität = :old.AutoWertIdentität) THEN RAISE "
                         "cannot_change_counter; END IF; END IF; EXCEPTION WHEN cannot_change_counter THEN "
                         "raise_application_error(-20000, 'Cannot Change Counter Value'); END;");
}

QString IdentityLine(Dialect dialect)
{
    switch (dialect) {
    case Dialect::DB2:
        return QStringLiteral("AutoWertIdentität INTEGER NOT NULL GENERATED ALWAYS AS IDENTITY (START WITH 0, "
                              "INCREMENT BY 1, NO CACHE ) PRIMARY KEY");
    case Dialect::MSSQL:
        return QStringLiteral("AutoWertIdentität int IDENTITY (1,1) PRIMARY KEY");
    case Dialect::Sybase:
        return QStringLiteral("AutoWertIdentität numeric IDENTITY PRIMARY KEY");
    case Dialect::MySQL:
        return QStringLiteral("AutoWertIdentität INT NOT NULL auto_increment PRIMARY KEY");
    case Dialect::Oracle:
        return QStringLiteral("AutoWertIdentität NUMBER(10,0) PRIMARY KEY");
    }
    return {};
}

TableFlags RunStructurePhase(ConversionHost& host, const dao::Recordset& rs)
{
    const QString table = host.tableName();
    TableFlags flags;
    flags.structureRan = true;

    host.setStatus(QStringLiteral("lösche evtl. vorhandene SQL-Tabelle"));
    const QString written = PlainOrQuotedName(table, host.options().dialect);
    executeIgnoringErrors(host, QStringLiteral("DROP TABLE ") + written);

    host.setStatus(QStringLiteral("Erstelle SQL - Tabellenstruktur"));
    host.clearLines();
    host.appendLine(QStringLiteral("CREATE TABLE ") + written + QLatin1Char(' '));

    flags.terminkalender = table == QLatin1String("Terminkalender");
    flags.formularprotokoll = table == QLatin1String("Formularprotokoll");
    host.appendLine(QStringLiteral("("));

    QStringList keys;
    host.step(
        [&] { keys = DiscoverKeyFields(host.database().GetTableDef(table), host.database().Relations(), table); });
    host.setKeyList(keys);

    QString separator = QStringLiteral(" ");
    bool identity = false;
    // Set only on Oracle, where a sequence and a trigger stand in for the identity column.
    QString sequence;
    if (host.autowertChecked() && keys.isEmpty()) {
        host.addIdentityTable(table);
        const Dialect dialect = host.options().dialect;
        host.appendLine(IdentityLine(dialect));
        if (dialect == Dialect::Sybase || dialect == Dialect::MySQL) {
            keys.append(identityName);
            host.setKeyList(keys);
        }
        if (dialect == Dialect::Oracle) {
            executeIgnoringErrors(host, QStringLiteral("DROP SEQUENCE ") + OracleSequenceName(table, host.now()));
            sequence = OracleSequenceName(table, host.now());
            host.step([&] {
                QString create =
                    QStringLiteral("CREATE SEQUENCE ") + sequence + QStringLiteral(" INCREMENT BY 1 START WITH 1");
                host.executeSql(create);
            });
        }
        separator = QStringLiteral(",");
        identity = true;
    }

    const ConversionOptions options = host.options();
    QString pkClause;
    const auto buildPkClause = [&] {
        return PrimaryKeyClause(
            table, keys, options.dialect,
            [&](const QString& name) {
                // Any failure gives the name back, a missing connection too.
                try {
                    return GetPrim(host.connection(), name);
                } catch (...) {
                    return name;
                }
            },
            MemoFields(rs.Fields()));
    };
    const QList<dao::Field>& fields = rs.Fields();
    for (int i = 0; i < fields.size(); ++i) {
        const dao::Field& field = fields[i];
        host.appendLine(ColumnDefinitionLine(field, separator, keys, table, options, buildPkClause, &pkClause));
        const QString leftOut = DefaultLeftOut(field, options);
        if (!leftOut.isEmpty())
            host.logNote(QStringLiteral("Tabelle ") + table + QStringLiteral(", ") + leftOut);
        separator = QStringLiteral(",");
        // The copy writes these Date/Time fields with a time of day.
        const QString lower = field.Name.toLower();
        if (flags.terminkalender && lower == QLatin1String("zeit"))
            flags.zeitPosition = i;
        if (flags.terminkalender && lower == QLatin1String("zeit1"))
            flags.zeit1Position = i;
        if (flags.formularprotokoll && lower == QLatin1String("uhrzeit"))
            flags.uhrzeitPosition = i;
    }

    if (!pkClause.trimmed().isEmpty())
        host.appendLine(QLatin1Char(',') + pkClause);
    host.appendLine(QStringLiteral(")"));
    if (options.dialect == Dialect::MySQL)
        host.appendLine(QStringLiteral(" ENGINE=BDB"));

    QString statement;
    for (const QString& line : host.lines())
        statement += ShortenColumnNames(line);

    host.setClipboardText(statement);
    host.yieldToUser();
    host.setStatus(QStringLiteral("Erstelle SQL - Tabelle auf SQL-Server"));
    host.step([&] { host.executeSql(statement); });

    if (identity && !sequence.isEmpty()) {
        host.appendLine(QStringLiteral("CREATE TRIGGER TRG_") + table.right(26));
        host.appendLine(QStringLiteral("BEFORE INSERT OR UPDATE ON ") + table);
        host.appendLine(QStringLiteral("FOR EACH ROW"));
        host.step([&] {
            QString trigger = OracleTriggerStatement(table, sequence);
            host.executeSql(trigger);
        });
    }
    return flags;
}
