// The Access database engine over libmdb (mdbtools): the DAO-like object
// model of AccessDatabase.h. libmdb opens the file (page reading and page
// decryption), turns each table definition into the column list it cracks
// rows with, and cracks rows into fields. The catalogue (MSysObjects), the
// property blobs (Required, DefaultValue), the table layouts with their
// logical and stored indexes, the relations, the row walk (moved and deleted
// rows) and every value are read here from the stored bytes (access/jet/):
// libmdb's own catalogue reader loops forever on some damaged files, and its
// printed values lose digits, dates and binary bytes. The saved queries' texts
// are rebuilt from the query catalogue (MSysQueries) on the first use of
// QueryDefs (access/jet/JetQueries.h).
//
// Files of Jet 3 (Access 97), Jet 4 (Access 2000–2003) and ACE (.accdb,
// Access 2007–2019) are read alike; the columns of Access 2007's complex types
// and of codes the engine does not know are listed with their stored code.
//
// Every page number is checked against the file's length before libmdb reads
// it (libmdb reads a page just past the end as zeros), so a truncated file is
// reported as damaged instead of looking shorter.

#include "access/AccessDatabase.h"

#include "access/jet/JetNames.h"
#include "access/jet/JetProperties.h"
#include "access/jet/JetQueries.h"
#include "access/jet/JetTable.h"
#include "access/jet/JetValues.h"
#include "core/RegularFile.h"
#include "core/TabrixError.h"
#include "core/TextPieces.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace dao {

namespace {

const QString kDatabaseSource = QStringLiteral("DAO.Database");
const QString kRecordsetSource = QStringLiteral("DAO.Recordset");

// DAO's numbers for the errors this engine raises.
constexpr long errFileNotFound = 3024;        // Could not find file
constexpr long errInvalidName = 3055;         // Not a valid file name
constexpr long errCannotOpen = 3051;          // locked or no permission
constexpr long errUnrecognized = 3343;        // Unrecognized database format
constexpr long errNoCurrentRecord = 3021;     // No current record
constexpr long errItemNotFound = 3265;        // Item not found in this collection
constexpr long errInputTableNotFound = 3078;  // cannot find the input table or query
constexpr long errObjectInvalid = 3420;       // Object invalid or no longer set
constexpr long errOdbcFailed = 3151;          // ODBC connection failed
constexpr long errNotValidPassword = 3031;    // Not a valid password

// DAO attribute bits of a TableDef.
constexpr quint32 dbHiddenObject = 0x1;
constexpr quint32 dbAttachedODBC = 0x20000000;
constexpr quint32 dbAttachedTable = 0x40000000;

// MSysObjects.Type of the objects listed here.
constexpr int kTypeTable = 1;
constexpr int kTypeOdbcLink = 4;
constexpr int kTypeQuery = 5;
constexpr int kTypeLink = 6;

// Logical index type and the marker of the primary (referenced) side's entry.
constexpr quint8 kIndexPrimary = 1;
constexpr quint8 kIndexForeign = 2;
constexpr quint8 kRelPrimaryTable = 1;

struct FileFacts {
    int pageSize = 0;
    quint32 pageCount = 0;
};

// Opens the file the user named: present, readable, and only a regular file.
void openFile(const QString& path, QFile& file)
{
    if (path.isEmpty())
        throw TabrixError(errInvalidName,
                          QStringLiteral("Kein gültiger Dateiname: Es wurde kein Datenbankpfad angegeben."),
                          kDatabaseSource);
    const RegularFileOpen opened = OpenRegularFile(path, file);
    if (opened == RegularFileOpen::NotFound)
        throw TabrixError(errFileNotFound, QStringLiteral("Datei '%1' nicht gefunden.").arg(path), kDatabaseSource);
    if (opened == RegularFileOpen::Directory || opened == RegularFileOpen::NotAFile)
        throw TabrixError(errInvalidName,
                          QString::fromUtf8(opened == RegularFileOpen::Directory
                                                ? "Kein gültiger Dateiname: '%1' ist ein Ordner."
                                                : "Kein gültiger Dateiname: '%1' ist keine Datei.")
                              .arg(path),
                          kDatabaseSource);
    if (opened == RegularFileOpen::CannotOpen) {
        throw TabrixError(
            errCannotOpen,
            QStringLiteral("Das Datenbankmodul kann die Datei '%1' nicht öffnen. Sie ist bereits exklusiv von "
                           "einem anderen Benutzer geöffnet, oder Sie haben keine Berechtigung, ihre "
                           "Daten anzuzeigen.")
                .arg(path),
            kDatabaseSource);
    }
}

// Checks the open file before libmdb sees it: an Access (Jet/ACE) header, whole pages.
FileFacts checkFile(QFile& file, const QString& path)
{
    if (file.handle() < 0 || !file.seek(0))
        throw TabrixError(errCannotOpen,
                          QStringLiteral("Das Datenbankmodul kann die Datei '%1' nicht lesen.").arg(path),
                          kDatabaseSource);
    const QByteArray header = file.read(0x20);
    const qint64 size = file.size();
    const bool magic = header.size() >= 0x15 && header.startsWith(QByteArray("\x00\x01\x00\x00", 4))
        && (header.mid(4, 16) == QByteArray("Standard Jet DB\0", 16)
            || header.mid(4, 16) == QByteArray("Standard ACE DB\0", 16));
    const int version = magic ? uchar(header[0x14]) : -1;
    if (!magic || version > MDB_VER_ACCDB_2019)
        throw TabrixError(errUnrecognized,
                          QStringLiteral("Nicht erkanntes Datenbankformat '%1'. Die Datei ist keine "
                                         "Microsoft-Access-Datenbank.")
                              .arg(path),
                          kDatabaseSource);
    FileFacts facts;
    facts.pageSize = version == MDB_VER_JET3 ? 2048 : 4096;
    if (size % facts.pageSize != 0)
        throw TabrixError(jet::errDamaged,
                          jet::damagedText(path,
                                           QStringLiteral("Die Datei ist abgeschnitten: Ihre %1 Bytes sind "
                                                          "keine ganze Zahl von Seiten zu %2 Bytes.")
                                               .arg(size)
                                               .arg(facts.pageSize)),
                          kDatabaseSource);
    if (size < 3 * facts.pageSize)
        throw TabrixError(jet::errDamaged,
                          jet::damagedText(path,
                                           QStringLiteral("Die Datei ist abgeschnitten: Sie endet vor ihrem "
                                                          "Systemkatalog (%1 Bytes).")
                                               .arg(size)),
                          kDatabaseSource);
    facts.pageCount = quint32(size / facts.pageSize);
    return facts;
}

int fieldSize(const jet::ColumnLayout& c, bool jet3)
{
    switch (c.type) {
    case dbBoolean:
    case dbByte:
        return 1;
    case dbInteger:
        return 2;
    case dbLong:
    case dbSingle:
        return 4;
    case dbCurrency:
    case dbDouble:
    case dbDate:
        return 8;
    case dbText:
        return jet3 ? c.size : c.size / 2;  // Jet 4 stores the size in bytes of UTF-16
    case dbLongBinary:
    case dbMemo:
        return 0;
    case dbGUID:
    case dbDecimal:
        return 16;
    default:
        return c.size;
    }
}

// ---------------------------------------------------------------------------

class AccessRecordset final : public Recordset {
public:
    AccessRecordset(jet::Handle handle, MdbCatalogEntry* entry, quint32 pageCount, const QString& path,
                    QList<Field> fields, const QList<int>& calculated)
        : m_handle(std::move(handle))
        , m_scanner(std::make_unique<jet::TableScanner>(m_handle.get(), entry, pageCount, path))
        , m_fields(std::move(fields))
    {
        m_scanner->passOverDamagedRows();
        m_scanner->readCalculated(calculated);
        if (m_scanner->columnCount() != m_fields.size())
            throw TabrixError(jet::errDamaged,
                              jet::damagedText(path,
                                               QStringLiteral("Die Spalten der Tabelle '%1' passen nicht zu "
                                                              "ihrer Definition.")
                                                   .arg(QString::fromUtf8(entry->object_name))),
                              kRecordsetSource);
        MoveFirst();
    }

    long RecordCount() const override
    {
        ensureOpen();
        if (m_exactCount >= 0)
            return long(m_exactCount);
        return long(std::max<qint64>({qint64(m_scanner->storedRowCount()), m_walked, m_hasRow ? 1 : 0}));
    }

    long StoredRecordCount() const override
    {
        ensureOpen();
        return long(m_scanner->storedRowCount());
    }

    bool Eof() const override { return !m_scanner || !m_hasRow; }

    void MoveFirst() override
    {
        ensureOpen();
        m_scanner->rewind();
        m_hasRow = m_scanner->next();
        m_walked = m_hasRow ? 1 : 0;
        if (!m_hasRow)
            m_exactCount = 0;
    }

    void MoveNext() override
    {
        ensureOpen();
        if (!m_hasRow)
            throw TabrixError(errNoCurrentRecord, QStringLiteral("Kein aktueller Datensatz."), kRecordsetSource);
        m_hasRow = m_scanner->next();
        if (m_hasRow)
            ++m_walked;
        else
            m_exactCount = m_walked;
    }

    void MoveLast() override
    {
        ensureOpen();
        const qint64 count = m_scanner->countAndMoveLast();
        m_exactCount = count;
        m_walked = count;
        m_hasRow = count > 0;
    }

    QList<SkippedRow> TakeSkippedRows() override
    {
        return m_scanner ? m_scanner->takeSkippedRows() : QList<SkippedRow>();
    }

    void Close() override
    {
        m_scanner.reset();
        m_handle.reset();
        m_hasRow = false;
    }

    const QList<Field>& Fields() const override { return m_fields; }

    QVariant Value(int i) const override
    {
        checkCell(i);
        return m_scanner->value(i);
    }

    void ReadCell(int i, CellValue& cell) const override
    {
        checkCell(i);
        m_scanner->readCell(i, cell);
    }

private:
    void checkCell(int i) const
    {
        ensureOpen();
        if (i < 0 || i >= m_fields.size())
            throw TabrixError(errItemNotFound,
                              QStringLiteral("Element in dieser Auflistung nicht gefunden (Feld %1).").arg(i),
                              kRecordsetSource);
        if (!m_hasRow)
            throw TabrixError(errNoCurrentRecord, QStringLiteral("Kein aktueller Datensatz."), kRecordsetSource);
    }

    void ensureOpen() const
    {
        if (!m_scanner)
            throw TabrixError(
                errObjectInvalid,
                QStringLiteral("Objekt ungültig oder nicht mehr festgelegt: Die Datensatzgruppe ist geschlossen."),
                kRecordsetSource);
    }

    jet::Handle m_handle;                          // this recordset's own clone of the file handle
    std::unique_ptr<jet::TableScanner> m_scanner;  // destroyed before the handle
    QList<Field> m_fields;
    bool m_hasRow = false;
    qint64 m_walked = 0;       // rows passed so far, the current one included
    qint64 m_exactCount = -1;  // known once the end has been reached
};

// ---------------------------------------------------------------------------

struct SystemObject {
    quint32 id = 0;
    QString name;
    int type = 0;
    quint32 flags = 0;
    QString database;       // linked tables: the source file
    QString connect;        // linked tables: the connect string
    QByteArray properties;  // local tables: the LvProp blob
};

class AccessDatabase final : public Database {
public:
    AccessDatabase(QFile& file, const QString& path) : m_path(path)
    {
        const FileFacts facts = checkFile(file, path);
        m_pageCount = facts.pageCount;
        // libmdb opens a file by its name: the name of the descriptor checked, so
        // that it reads that very file whatever lies at the path by now (its
        // own descriptor keeps the file once opened).
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(file.handle());
        m_mdb.reset(mdb_open(self.constData(), MDB_NOFLAGS));
        if (!m_mdb && ::access(self.constData(), R_OK) != 0)
            throw TabrixError(errCannotOpen,
                              QStringLiteral("Das Datenbankmodul kann die Datei '%1' nicht öffnen: Es findet sie nicht "
                                             "unter %2 (ist /proc eingehängt?).")
                                  .arg(path, QString::fromLatin1(self)),
                              kDatabaseSource);
        if (!m_mdb || m_mdb->fmt->pg_size != facts.pageSize)
            throw TabrixError(errUnrecognized, QStringLiteral("Nicht erkanntes Datenbankformat '%1'.").arg(path),
                              kDatabaseSource);
        // Access 2007 and later encrypt a file with a password by Office's
        // methods, which libmdb does not undo; such a file has a key that is not
        // blank (Jet 3 and 4 files with a key libmdb decrypts).
        if (m_mdb->f->jet_version >= MDB_VER_ACCDB_2007 && m_mdb->f->db_key != 0)
            throw TabrixError(errNotValidPassword,
                              QStringLiteral("Die Datenbank '%1' ist mit einem Kennwort verschlüsselt, und "
                                             "verschlüsselte Access-Dateien werden nicht gelesen. Entschlüsseln Sie "
                                             "sie in Access (Datei > Informationen > Datenbank entschlüsseln).")
                                  .arg(path),
                              kDatabaseSource);
        try {
            load();
        } catch (const TabrixError& e) {
            throw TabrixError(e.number(), e.description(), kDatabaseSource);
        }
    }

    QString Name() const override { return m_path; }
    const QList<TableDef>& TableDefs() const override { return m_tables; }
    const QList<Relation>& Relations() const override { return m_relations; }
    const QList<QueryDef>& QueryDefs() const override
    {
        // Read on first use: opening a database does not pay for its queries.
        if (!m_queriesRead)
            readQueries();
        return m_queries;
    }

    const TableDef& GetTableDef(const QString& name) const override
    {
        const int i = indexOfTable(name);
        if (i < 0)
            throw TabrixError(
                errItemNotFound,
                QStringLiteral("Element in dieser Auflistung nicht gefunden: Es gibt keine Tabelle '%1'.").arg(name),
                kDatabaseSource);
        return m_tables[i];
    }

    std::unique_ptr<Recordset> OpenRecordset(const QString& table) const override
    {
        const int i = indexOfTable(table);
        if (i < 0)
            throw TabrixError(errInputTableNotFound,
                              QStringLiteral("Das Datenbankmodul findet die Eingabetabelle oder -abfrage '%1' nicht. "
                                             "Stellen Sie sicher, dass sie existiert und ihr Name richtig geschrieben "
                                             "ist.")
                                  .arg(table),
                              kDatabaseSource);
        const TableSource& source = m_sources[i];
        if (source.type == kTypeOdbcLink)
            throw TabrixError(errOdbcFailed,
                              QStringLiteral("ODBC-Verbindung zu '%1' fehlgeschlagen: Die Tabelle '%2' ist mit einer "
                                             "ODBC-Datenquelle verknüpft, die dieses Datenbankmodul nicht liest.")
                                  .arg(source.linkTarget, m_tables[i].Name),
                              kDatabaseSource);
        if (source.type == kTypeLink)
            throw TabrixError(errFileNotFound,
                              QStringLiteral("Datei '%1' nicht gefunden: Die Tabelle '%2' ist mit ihr verknüpft, und "
                                             "verknüpfte Tabellen werden nicht gelesen.")
                                  .arg(source.linkTarget, m_tables[i].Name),
                              kDatabaseSource);
        refuseNulInNames(m_tables[i]);
        // Each recordset reads through its own handle (own page buffers) on the shared file.
        jet::Handle clone(mdb_clone_handle(m_mdb.get()));
        if (!clone || source.catalogIndex < 0 || guint(source.catalogIndex) >= clone->catalog->len)
            throw TabrixError(
                jet::errDamaged,
                jet::damagedText(m_path, QStringLiteral("Die Tabelle '%1' kann nicht gelesen werden.").arg(table)),
                kDatabaseSource);
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(clone->catalog, source.catalogIndex));
        return std::make_unique<AccessRecordset>(std::move(clone), entry, m_pageCount, m_path, m_tables[i].Fields,
                                                 source.calculated);
    }

private:
    struct TableSource {
        int type = kTypeTable;
        int catalogIndex = -1;  // the libmdb catalogue entry of a local table
        QString linkTarget;     // linked tables: source file or connect string
        QList<int> calculated;  // per field: the result type of a calculated one, else 0
    };

    // A NUL character would cut every statement that names the table short:
    // the table is refused before anything of it is read.
    static void refuseNulInNames(const TableDef& def)
    {
        QStringList names{def.Name};
        for (const Field& f : def.Fields)
            names.append(f.Name);
        for (const Index& index : def.Indexes)
            names.append(index.Name);
        for (const QString& name : names) {
            if (name.contains(QChar(u'\0')))
                throw TabrixError(errInvalidName,
                                  QStringLiteral("Tabelle %1: Der Name '%2' enthält ein NUL-Zeichen; die Tabelle wird "
                                                 "nicht übertragen.")
                                      .arg(def.Name, ShowingNul(name)),
                                  kRecordsetSource);
        }
    }

    int indexOfTable(const QString& name) const
    {
        const auto it = m_tableIndex.constFind(name.toCaseFolded());
        return it == m_tableIndex.cend() ? -1 : it.value();
    }

    // The catalogue is built here rather than by mdb_read_catalog: libmdb's
    // reader parses every property blob with a parser that never ends on a
    // damaged one (seen with truncated files). Entries are what mdb_read_table
    // and mdb_clone_handle need; mdb_close frees them.
    int addCatalogEntry(const QString& name, quint32 page, quint32 flags)
    {
        auto* entry = static_cast<MdbCatalogEntry*>(g_malloc0(sizeof(MdbCatalogEntry)));
        entry->mdb = m_mdb.get();
        const QByteArray utf8 = name.toUtf8();
        qsizetype n = std::min<qsizetype>(utf8.size(), MDB_MAX_OBJ_NAME);
        while (n > 0 && n < utf8.size() && (uchar(utf8[n]) & 0xC0) == 0x80)
            --n;  // do not cut a character in two
        std::memcpy(entry->object_name, utf8.constData(), size_t(n));
        entry->object_name[n] = '\0';
        entry->object_type = MDB_TABLE;
        entry->table_pg = page;
        entry->flags = int(flags);
        g_ptr_array_add(m_mdb->catalog, entry);
        m_mdb->num_catalog = m_mdb->catalog->len;
        return int(m_mdb->catalog->len) - 1;
    }

    std::unique_ptr<jet::TableScanner> scanner(int catalogIndex) const
    {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(m_mdb->catalog, catalogIndex));
        // Check the definition first: libmdb would read on past the end of a cut file.
        jet::readTableLayout(m_mdb.get(), quint32(entry->table_pg), m_pageCount, m_path);
        return std::make_unique<jet::TableScanner>(m_mdb.get(), entry, m_pageCount, m_path);
    }

    void load()
    {
        m_mdb->catalog = g_ptr_array_new();
        m_mdb->num_catalog = 0;
        // MSysObjects, the catalogue itself, always has its definition on page 2.
        const int objectsEntry = addCatalogEntry(QStringLiteral("MSysObjects"), 2, 0x80000000u);
        const QList<SystemObject> objects = readSystemObjects(objectsEntry);
        for (const SystemObject& o : objects) {
            if (o.type == kTypeTable)
                m_catalogIndex.insert(o.id & 0x00FFFFFFu,
                                      (o.id & 0x00FFFFFFu) == 2 ? objectsEntry
                                                                : addCatalogEntry(o.name, o.id & 0x00FFFFFFu, o.flags));
        }
        readRelations(objects);
        dropSystemRelations(objects);
        for (const SystemObject& object : objects) {
            if (object.type == kTypeTable || object.type == kTypeLink || object.type == kTypeOdbcLink)
                addTable(object);
            else if (object.type == kTypeQuery)
                m_queryObjects.append(object);
            if (object.type == kTypeTable
                && object.name.compare(QLatin1String("MSysQueries"), Qt::CaseInsensitive) == 0)
                m_queryCatalogIndex = m_catalogIndex.value(object.id & 0x00FFFFFFu, -1);
        }
        sortTables();
        QStringList queryNames;
        for (const SystemObject& o : m_queryObjects)
            queryNames.append(o.name);
        QList<SystemObject> queries;
        for (int i : jet::nameOrder(queryNames))
            queries.append(m_queryObjects[i]);
        m_queryObjects = queries;
    }

    // DAO lists table definitions by name, not in the order of the catalogue.
    void sortTables()
    {
        QStringList names;
        for (const TableDef& t : m_tables)
            names.append(t.Name);
        const QList<int> order = jet::nameOrder(names);
        QList<TableDef> tables;
        QList<TableSource> sources;
        m_tableIndex.clear();
        for (int i : order) {
            m_tableIndex.insert(m_tables[i].Name.toCaseFolded(), int(tables.size()));
            tables.append(m_tables[i]);
            sources.append(m_sources[i]);
        }
        m_tables = tables;
        m_sources = sources;
    }

    // The catalogue rows of every query, by the query's object id. Throws
    // TabrixError when the catalogue cannot be read.
    QHash<qint32, QList<jet::QueryRow>> readQueryCatalogue() const
    {
        if (m_queryCatalogIndex < 0)
            throw TabrixError(jet::errDamaged, QStringLiteral("Die Datenbank hat keinen Abfragekatalog (MSysQueries)."),
                              kDatabaseSource);
        auto rows = scanner(m_queryCatalogIndex);
        const int cObject = rows->columnIndex("ObjectId");
        const int cAttribute = rows->columnIndex("Attribute");
        const int cOrder = rows->columnIndex("Order");
        const int cName1 = rows->columnIndex("Name1");
        const int cName2 = rows->columnIndex("Name2");
        const int cExpression = rows->columnIndex("Expression");
        const int cFlag = rows->columnIndex("Flag");
        const int cExtra = rows->columnIndex("LvExtra");  // Jet 4 only
        if (cObject < 0 || cAttribute < 0 || cOrder < 0 || cName1 < 0 || cName2 < 0 || cExpression < 0 || cFlag < 0)
            throw TabrixError(jet::errDamaged, QStringLiteral("Dem Abfragekatalog (MSysQueries) fehlen Spalten."),
                              kDatabaseSource);
        QHash<qint32, QList<jet::QueryRow>> byObject;
        while (rows->next()) {
            jet::QueryRow row;
            row.attribute = rows->value(cAttribute).toInt();
            row.order = rows->value(cOrder).toByteArray();
            row.name1 = rows->value(cName1).toString();
            row.name2 = rows->value(cName2).toString();
            row.expression = rows->value(cExpression).toString();
            row.flag = rows->value(cFlag).toInt();
            if (cExtra >= 0) {
                const QVariant extra = rows->value(cExtra);
                if (extra.typeId() == QMetaType::QByteArray) {
                    const QByteArray bytes = extra.toByteArray();
                    row.extra =
                        bytes.size() >= 4 ? int(jet::le32(reinterpret_cast<const uchar*>(bytes.constData()))) : 0;
                } else {
                    row.extra = extra.toInt();
                }
            }
            byObject[qint32(rows->value(cObject).toInt())].append(row);
        }
        return byObject;
    }

    void readQueries() const
    {
        m_queriesRead = true;
        QHash<qint32, QList<jet::QueryRow>> catalogue;
        QString catalogueError;
        try {
            catalogue = readQueryCatalogue();
        } catch (const TabrixError& e) {
            catalogueError = e.description();
        }
        for (const SystemObject& object : m_queryObjects) {
            QueryDef query;
            query.Name = object.name;
            query.Type = int(object.flags & 0xF0u);
            QString problem = catalogueError;
            if (problem.isEmpty()) {
                const QList<jet::QueryRow> rows = catalogue.value(qint32(object.id));
                try {
                    if (rows.isEmpty())
                        throw TabrixError(jet::errDamaged,
                                          QStringLiteral("Der Abfragekatalog (MSysQueries) hat keine Zeilen zu ihr."),
                                          kDatabaseSource);
                    const jet::QueryText text = jet::querySql(rows, int(object.flags & 0xF0u));
                    query.SQL = text.sql;
                    // A pass-through query that returns no rows is marked only among the objects.
                    if (!(text.type == dbQSQLPassThrough && query.Type == dbQSPTBulk))
                        query.Type = text.type;
                } catch (const TabrixError& e) {
                    problem = e.description();
                }
            }
            if (!problem.isEmpty())
                query.SQLError = QStringLiteral("Der SQL-Text der Abfrage '%1' kann nicht gebildet werden: %2")
                                     .arg(object.name, problem);
            m_queries.append(query);
        }
    }

    QList<SystemObject> readSystemObjects(int catalogIndex)
    {
        auto objects = scanner(catalogIndex);
        const int cId = objects->columnIndex("Id");
        const int cName = objects->columnIndex("Name");
        const int cType = objects->columnIndex("Type");
        const int cFlags = objects->columnIndex("Flags");
        const int cProperties = objects->columnIndex("LvProp");
        const int cDatabase = objects->columnIndex("Database");
        const int cConnect = objects->columnIndex("Connect");
        if (cId < 0 || cName < 0 || cType < 0 || cFlags < 0)
            throw TabrixError(
                jet::errDamaged,
                jet::damagedText(m_path, QStringLiteral("Ihrem Systemkatalog (MSysObjects) fehlen Spalten.")),
                kDatabaseSource);
        QList<SystemObject> list;
        while (objects->next()) {
            SystemObject o;
            o.id = quint32(objects->value(cId).toInt());
            o.name = objects->value(cName).toString();
            o.type = objects->value(cType).toInt();
            o.flags = quint32(objects->value(cFlags).toInt());
            if (o.type == kTypeTable && cProperties >= 0)
                o.properties = objects->value(cProperties).toByteArray();
            if (o.type == kTypeLink && cDatabase >= 0)
                o.database = objects->value(cDatabase).toString();
            if (o.type == kTypeOdbcLink && cConnect >= 0)
                o.connect = objects->value(cConnect).toString();
            list.append(o);
        }
        if (list.isEmpty())
            throw TabrixError(jet::errDamaged,
                              jet::damagedText(m_path, QStringLiteral("Ihr Systemkatalog (MSysObjects) ist leer.")),
                              kDatabaseSource);
        return list;
    }

    void readRelations(const QList<SystemObject>& objects)
    {
        int catalogIndex = -1;
        for (const SystemObject& o : objects) {
            if (o.type == kTypeTable && o.name.compare(QLatin1String("MSysRelationships"), Qt::CaseInsensitive) == 0)
                catalogIndex = m_catalogIndex.value(o.id & 0x00FFFFFFu, -1);
        }
        if (catalogIndex < 0)
            return;
        auto rows = scanner(catalogIndex);
        const int cName = rows->columnIndex("szRelationship");
        const int cObject = rows->columnIndex("szObject");
        const int cReferenced = rows->columnIndex("szReferencedObject");
        const int cColumn = rows->columnIndex("szColumn");
        const int cReferencedColumn = rows->columnIndex("szReferencedColumn");
        const int cGrbit = rows->columnIndex("grbit");
        const int cIcolumn = rows->columnIndex("icolumn");
        if (cName < 0 || cObject < 0 || cReferenced < 0 || cColumn < 0 || cReferencedColumn < 0 || cGrbit < 0)
            throw TabrixError(
                jet::errDamaged,
                jet::damagedText(m_path, QStringLiteral("Ihrem Beziehungskatalog (MSysRelationships) fehlen Spalten.")),
                kDatabaseSource);
        // One row per column pair; a relation is the rows of one name, first seen first.
        QHash<QString, int> byName;
        QList<QList<QPair<int, RelationField>>> columns;
        while (rows->next()) {
            const QString name = rows->value(cName).toString();
            const QString key = name.toCaseFolded();
            int r = byName.value(key, -1);
            if (r < 0) {
                Relation relation;
                relation.Name = name;
                relation.Table = rows->value(cReferenced).toString();
                relation.ForeignTable = rows->value(cObject).toString();
                relation.Attributes = rows->value(cGrbit).toInt();
                r = int(m_relations.size());
                m_relations.append(relation);
                columns.append(QList<QPair<int, RelationField>>());
                byName.insert(key, r);
            }
            const int position = cIcolumn >= 0 ? rows->value(cIcolumn).toInt() : int(columns[r].size());
            columns[r].append(
                {position, RelationField{rows->value(cReferencedColumn).toString(), rows->value(cColumn).toString()}});
        }
        for (int r = 0; r < m_relations.size(); ++r) {
            auto& pairs = columns[r];
            std::stable_sort(pairs.begin(), pairs.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (const auto& pair : pairs)
                m_relations[r].Fields.append(pair.second);
        }
    }

    // Relations among Access's own system tables (the navigation pane's, added
    // by Access 2007 and later) are not part of the data: they are left out, so
    // that Relations lists the relations between the database's tables only.
    void dropSystemRelations(const QList<SystemObject>& objects)
    {
        QSet<QString> system;
        for (const SystemObject& o : objects) {
            if (o.type == kTypeTable && (attributesOf(o) & dbSystemObjectMask) != 0)
                system.insert(o.name.toCaseFolded());
        }
        m_relations.removeIf([&](const Relation& r) {
            return system.contains(r.Table.toCaseFolded()) || system.contains(r.ForeignTable.toCaseFolded());
        });
    }

    const Relation* relationNamed(const QString& name) const
    {
        for (const Relation& r : m_relations) {
            if (r.Name.compare(name, Qt::CaseInsensitive) == 0)
                return &r;
        }
        return nullptr;
    }

    static quint32 attributesOf(const SystemObject& o)
    {
        quint32 attributes = 0;
        if ((o.flags & dbSystemObjectMask) != 0 || o.name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive))
            attributes |= dbSystemObjectMask;
        if (o.flags & 0x8)
            attributes |= dbHiddenObject;
        if (o.type == kTypeLink)
            attributes |= dbAttachedTable;
        if (o.type == kTypeOdbcLink)
            attributes |= dbAttachedODBC;
        return attributes;
    }

    void addTable(const SystemObject& object)
    {
        TableDef def;
        def.Name = object.name;
        def.Attributes = attributesOf(object);
        TableSource source;
        source.type = object.type;
        if (object.type == kTypeTable) {
            const quint32 page = object.id & 0x00FFFFFFu;
            source.catalogIndex = m_catalogIndex.value(page, -1);
            const jet::TableLayout layout = jet::readTableLayout(m_mdb.get(), page, m_pageCount, m_path);
            checkDataPages(source.catalogIndex, object.name);
            source.calculated = fillTable(def, layout, object.properties);
        } else {
            source.linkTarget = object.type == kTypeLink ? object.database : object.connect;
        }
        m_tableIndex.insert(def.Name.toCaseFolded(), int(m_tables.size()));
        m_tables.append(def);
        m_sources.append(source);
    }

    // Every data page the table claims must lie inside the file: a file cut
    // short is reported when it is opened, not in the middle of a copy.
    void checkDataPages(int catalogIndex, const QString& name)
    {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(m_mdb->catalog, catalogIndex));
        jet::TablePtr table(mdb_read_table(entry));
        if (!table)
            throw TabrixError(
                jet::errDamaged,
                jet::damagedText(
                    m_path, QStringLiteral("Die Definition der Tabelle '%1' kann nicht gelesen werden.").arg(name)),
                kDatabaseSource);
        const quint32 last = jet::lastMappedPage(m_mdb.get(), table->usage_map, table->map_sz, m_pageCount, m_path);
        if (last >= m_pageCount)
            throw TabrixError(jet::errDamaged,
                              jet::damagedText(m_path,
                                               QStringLiteral("Die Datei ist abgeschnitten: Die Tabelle '%1' hat "
                                                              "Daten auf Seite %2, aber die Datei endet nach "
                                                              "Seite %3.")
                                                   .arg(name)
                                                   .arg(last)
                                                   .arg(m_pageCount - 1)),
                              kDatabaseSource);
    }

    // Returns the result types of the calculated fields (see TableSource).
    QList<int> fillTable(TableDef& def, const jet::TableLayout& layout, const QByteArray& propertyBlob) const
    {
        QList<int> calculated;
        const bool jet3 = jet::isJet3(m_mdb.get());
        MdbHandle* mdb = m_mdb.get();
        const QHash<QString, jet::ColumnProperties> properties = jet::parseColumnProperties(
            propertyBlob, [mdb](const uchar* data, qsizetype length) { return jet::fileText(mdb, data, length); });
        auto propertiesOf = [&](const QString& column) -> jet::ColumnProperties {
            const auto exact = properties.constFind(column);
            if (exact != properties.cend())
                return exact.value();
            for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
                if (it.key().compare(column, Qt::CaseInsensitive) == 0)
                    return it.value();
            }
            return {};
        };
        QHash<int, QString> columnNames;
        for (jet::ColumnLayout c : layout.columns) {
            Field field;
            field.Name = c.name;
            const jet::ColumnProperties props = propertiesOf(c.name);
            // A calculated field is of its result's type, as DAO gives it; its
            // stored size counts the 23 bytes that wrap each value.
            if (c.calculated && props.resultType > 0) {
                c.type = props.resultType;
                c.size = std::max(0, c.size - 23);
            }
            calculated.append(c.calculated ? c.type : 0);
            field.Type = c.type;
            field.Size = fieldSize(c, jet3);
            field.Required = props.required;
            field.DefaultValue = props.defaultValue;
            field.Precision = c.precision;
            field.Scale = c.scale;
            // A calculated Decimal stores each value with a scale of its own.
            if (c.calculated && field.Type == dbDecimal)
                field.Scale = dao::kScaleOfEachValue;
            def.Fields.append(field);
            columnNames.insert(c.number, c.name);
        }
        for (const jet::IndexLayout& index : layout.indexes) {
            // A foreign-key entry on the primary side is Access's back reference: DAO does not list it.
            if (index.type == kIndexForeign && index.relTableType == kRelPrimaryTable)
                continue;
            Index out;
            out.Name = index.name;
            out.Primary = index.type == kIndexPrimary;
            if (index.dataNumber >= 0 && index.dataNumber < layout.indexData.size()) {
                const jet::IndexDataLayout& data = layout.indexData[index.dataNumber];
                for (int number : data.columnNumbers)
                    out.Fields.append(columnNames.value(number));
                out.Unique = out.Primary || (data.flags & MDB_IDX_UNIQUE) != 0;
            } else {
                out.Unique = out.Primary;
            }
            if (out.Fields.isEmpty() && index.type == kIndexForeign) {
                // No stored key: take the foreign columns of the relation of that name.
                if (const Relation* relation = relationNamed(index.name)) {
                    for (const RelationField& f : relation->Fields)
                        out.Fields.append(f.ForeignName);
                }
            }
            def.Indexes.append(out);
        }
        return calculated;
    }

    QString m_path;
    quint32 m_pageCount = 0;
    jet::Handle m_mdb;
    QHash<quint32, int> m_catalogIndex;  // definition page -> catalogue entry
    QList<TableDef> m_tables;
    QList<TableSource> m_sources;
    QHash<QString, int> m_tableIndex;  // case-folded name -> index in m_tables
    QList<Relation> m_relations;
    QList<SystemObject> m_queryObjects;  // in DAO's order
    int m_queryCatalogIndex = -1;        // MSysQueries
    mutable bool m_queriesRead = false;
    mutable QList<QueryDef> m_queries;
};

}  // namespace

std::unique_ptr<Database> Database::OpenDatabase(const QString& path)
{
    QFile file;
    openFile(path, file);
    return OpenDatabase(file, path);
}

std::unique_ptr<Database> Database::OpenDatabase(QFile& file, const QString& path)
{
    return std::make_unique<AccessDatabase>(file, path);
}

}  // namespace dao
