#include "conversion/TableCreation.h"

#include "conversion/ColumnMapping.h"
#include "conversion/KeysAndIndexes.h"
#include "core/TabrixError.h"
#include "sql/DialectRecord.h"
#include "sql/Names.h"

namespace {

const QString identityName = QStringLiteral("AutoWertIdentität");

// A drop whose failure only means there was nothing to drop.
void executeIgnoringErrors(ConversionHost& host, const QString& statement)
{
    try {
        host.executeSql(statement);
    } catch (const TabrixError&) {
    }
}

}  // namespace

QString OracleSequenceName(const QString& table, const QDateTime& time)
{
    return SqlName(QStringLiteral("SEQ_") + (table + TimeStamp12(time)).right(26), Dialect::Oracle);
}

QString OracleTriggerName(const QString& table)
{
    return SqlName(QStringLiteral("TRG_") + table.right(26), Dialect::Oracle);
}

QString OracleTriggerStatement(const QString& table, const QString& sequence)
{
    const QString written = SqlName(table, Dialect::Oracle);
    return QStringLiteral("CREATE TRIGGER ") + OracleTriggerName(table) + QStringLiteral(" BEFORE INSERT OR UPDATE ON ")
        + written + QStringLiteral(" FOR EACH ROW DECLARE  iCounter ") + written
        + QStringLiteral(".AutoWertIdentität%TYPE;  cannot_change_counter EXCEPTION; BEGIN  IF INSERTING THEN  Select ")
        + sequence
        + QStringLiteral(".NEXTVAL INTO iCounter FROM Dual; :new.AutoWertIdentität :=iCounter; END IF; IF UPDATING "
                         "THEN IF NOT (:new.AutoWertIdentität = :old.AutoWertIdentität) THEN RAISE "
                         "cannot_change_counter; END IF; END IF; EXCEPTION WHEN cannot_change_counter THEN "
                         "raise_application_error(-20000, 'Cannot Change Counter Value'); END;");
}

QString IdentityLine(Dialect dialect)
{
    return DialectRecord(dialect).identityLine.toString();
}

bool IdentityIsListedKey(Dialect dialect)
{
    return DialectRecord(dialect).identityIsListedKey;
}

QStringList CreateTableLines(const QString& table, const QList<dao::Field>& fields, const QStringList& keys,
                             bool identity, const ConversionOptions& options,
                             const std::function<QString(const QString&)>& getPrim)
{
    QStringList lines{QStringLiteral("CREATE TABLE ") + SqlName(table, options.dialect) + QLatin1Char(' '),
                      QStringLiteral("(")};
    if (identity)
        lines.append(IdentityLine(options.dialect));
    QString separator = identity ? QStringLiteral(",") : QStringLiteral(" ");
    QString pkClause;
    const QStringList memo = MemoFields(fields);
    const auto buildPkClause = [&] { return PrimaryKeyClause(table, keys, options.dialect, getPrim, memo); };
    for (const dao::Field& field : fields) {
        lines.append(ColumnDefinitionLine(field, separator, keys, table, options, buildPkClause, &pkClause));
        separator = QStringLiteral(",");
    }
    if (!pkClause.trimmed().isEmpty())
        lines.append(QLatin1Char(',') + pkClause);
    lines.append(QStringLiteral(")"));
    if (const QStringView suffix = DialectRecord(options.dialect).tableSuffix; !suffix.isEmpty())
        lines.append(suffix.toString());
    return lines;
}

QString CreateTableStatement(const QStringList& lines)
{
    QString statement;
    for (const QString& line : lines)
        statement += ShortenColumnNames(line);
    return statement;
}

TableFlags SpecialTableFlags(const QString& table, const QList<dao::Field>& fields)
{
    TableFlags flags;
    flags.structureRan = true;
    flags.terminkalender = table == QLatin1String("Terminkalender");
    flags.formularprotokoll = table == QLatin1String("Formularprotokoll");
    for (int i = 0; i < fields.size(); ++i) {
        const QString lower = fields[i].Name.toLower();
        if (flags.terminkalender && lower == QLatin1String("zeit"))
            flags.zeitPosition = i;
        if (flags.terminkalender && lower == QLatin1String("zeit1"))
            flags.zeit1Position = i;
        if (flags.formularprotokoll && lower == QLatin1String("uhrzeit"))
            flags.uhrzeitPosition = i;
    }
    return flags;
}

TableFlags RunStructurePhase(TableRun& run, const dao::Recordset& rs)
{
    ConversionHost& host = run.host();
    const QString& table = run.table();

    host.setStatus(QStringLiteral("lösche evtl. vorhandene SQL-Tabelle"));
    executeIgnoringErrors(host, QStringLiteral("DROP TABLE ") + SqlName(table, host.options().dialect));

    host.setStatus(QStringLiteral("Erstelle SQL - Tabellenstruktur"));
    host.clearLines();
    QStringList keys;
    run.step([&] { keys = DiscoverKeyFields(host.database().GetTableDef(table), host.database().Relations(), table); });
    host.setKeyList(keys);

    const bool identity = host.autowertChecked() && keys.isEmpty();
    const Dialect dialect = host.options().dialect;
    if (identity) {
        host.addIdentityTable(table);
        if (IdentityIsListedKey(dialect)) {
            keys.append(identityName);
            host.setKeyList(keys);
        }
    }
    // On Oracle a sequence and a trigger stand in for the identity column.
    QString sequence;
    if (identity && DialectRecord(dialect).identityBySequence) {
        executeIgnoringErrors(host, QStringLiteral("DROP SEQUENCE ") + OracleSequenceName(table, host.now()));
        sequence = OracleSequenceName(table, host.now());
        run.send(QStringLiteral("CREATE SEQUENCE ") + sequence + QStringLiteral(" INCREMENT BY 1 START WITH 1"));
    }

    const ConversionOptions options = host.options();
    for (const dao::Field& field : rs.Fields())
        if (!Transferable(field))
            run.note(LeftOutColumnText(table, field));
    const QList<dao::Field> fields = TransferableFields(rs.Fields());
    const QStringList lines = CreateTableLines(table, fields, keys, identity, options, [&](const QString& name) {
        // Any failure gives the name back, a missing connection too.
        try {
            return GetPrim(host.connection(), name);
        } catch (...) {
            return name;
        }
    });
    for (const QString& line : lines)
        host.appendLine(line);
    for (const dao::Field& field : fields) {
        const QString leftOut = DefaultLeftOut(field, options);
        if (!leftOut.isEmpty())
            run.note(QStringLiteral("Tabelle ") + table + QStringLiteral(", ") + leftOut);
    }

    const QString statement = CreateTableStatement(lines);
    host.setClipboardText(statement);
    host.yieldToUser();
    host.setStatus(QStringLiteral("Erstelle SQL - Tabelle auf SQL-Server"));
    run.send(statement);

    if (!sequence.isEmpty()) {
        host.appendLine(QStringLiteral("CREATE TRIGGER ") + OracleTriggerName(table));
        host.appendLine(QStringLiteral("BEFORE INSERT OR UPDATE ON ") + SqlName(table, dialect));
        host.appendLine(QStringLiteral("FOR EACH ROW"));
        run.send(OracleTriggerStatement(table, sequence));
    }
    return SpecialTableFlags(table, fields);
}
