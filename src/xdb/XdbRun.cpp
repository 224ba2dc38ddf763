#include "xdb/XdbRun.h"

#include "core/TabrixError.h"
#include "core/TextPieces.h"
#include "server/ExecuteSql.h"
#include "server/ServerErrors.h"
#include "sql/Names.h"
#include "xdb/XdbDocument.h"

#include <functional>
#include <new>

namespace {

const QString kSource = QStringLiteral("SQL-Tabrix");
const QString kHeldView = QStringLiteral("View_BestellungAuftrag");
constexpr int kPieceWidth = 130;
constexpr qint64 kBlockBytes = 128;
// No index has anywhere near this many fields; a count beyond it cannot be held.
constexpr qint32 kMostIndexFields = 1 << 20;
// A line the reader refuses (too long, a value that could end its statement,
// a NUL character in a name): listed like a server error, the run goes on.
constexpr long kRefusedLine = 1001;

// `what "value"`, the way the messages of a line name what failed; a NUL shows as "␀".
QString named(const QString& what, const QString& value)
{
    return what + QStringLiteral(" \"") + ShowingNul(value) + QLatin1Char('"');
}

const ServerTable& currentTable(const XdbReaderState& state)
{
    if (!state.CurrentTable)
        throw TabrixError(91, QStringLiteral("Objektvariable oder With-Blockvariable nicht festgelegt"), kSource);
    return *state.CurrentTable;
}

void yieldOrEnd(XdbHost& host)
{
    if (!host.yieldToUser())
        throw XdbRunCancelled{};
}

QString tableNamed(const QString& table)
{
    return named(QStringLiteral("Tabelle"), table);
}

// The handler ended the run.
struct RunEnded {};

class Run {
public:
    Run(XdbHost& host, XdbReaderState& state) : m_host(host), m_state(state) {}
    void execute();

private:
    // `naming` (see named()) tells which value of the line the step works on.
    bool step(const std::function<void()>& action, const QString& naming = QString());
    void handle(const TabrixError& error);
    void refuseLine(const QString& text);
    bool refusesNul(const QString& owner, const QStringList& values);
    bool opensTable(const QString& table);
    bool isXdbDocument();
    QString currentTableNamed() const
    {
        return tableNamed(m_state.CurrentTable ? m_state.CurrentTable->Name : QString());
    }
    void processLine(const QString& line);
    void addColumn(const XdbFieldLine& field, bool withDefault);
    void renameField(const XdbRenameLine& rename);
    void indexLine(XdbIndexKey key, const QString& value);
    void endEarly();
    void createView(const QString& name, const QString& statement);

    XdbHost& m_host;
    XdbReaderState& m_state;
    XdbDocument m_document;

    // Run state: empty at every run.
    QString ViewName;
    QString HeldViewSql;
    QString IndexTable;
    QString IndexName;
    qint32 IndexAttributes = 0;
    QStringList IndexFields;
    bool m_indexFieldsSized = false;
    qint32 IndexFieldCount = 0;
    long m_line = 0;  // the line being processed; 0 outside the lines
};

// Runs one step under the run's error handler: true when it succeeded, false
// when it failed and the run goes on with its next step.
bool Run::step(const std::function<void()>& action, const QString& naming)
{
    const auto fail = [&](long number, const QString& description) {
        handle(
            TabrixError(number, naming.isEmpty() ? description : naming + QStringLiteral(": ") + description, kSource));
    };
    try {
        action();
        return true;
    } catch (const TabrixError& e) {
        if (naming.isEmpty())
            handle(e);
        else
            fail(e.number(), e.description());
    } catch (const std::bad_alloc&) {
        fail(7, QStringLiteral("Nicht genügend Speicher"));
    } catch (const std::exception& e) {
        fail(5, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

// The one error handler of a run: the description is listed in pieces, the
// run counts as failed; a server error (number above 1000) lets it go on,
// anything else ends it.
void Run::handle(const TabrixError& error)
{
    m_host.setRunFailed();
    // Within the document, every message names its line.
    const QString listed =
        m_line > 0 ? QStringLiteral("Zeile %1: ").arg(m_line) + error.description() : error.description();
    for (const QString& piece : CutIntoPieces(listed, kPieceWidth))
        m_host.appendErrorLine(piece);
    // Every further statement would fail the same way.
    if (IsConnectionLost(error)) {
        m_host.connectionLost(error.description());
        throw RunEnded{};
    }
    if (error.number() <= 1000)
        throw RunEnded{};
}

void Run::execute()
{
    m_host.enableCommands(false);
    const QString path = m_host.documentPath();
    if (path.isEmpty()) {
        m_host.enableCommands(true);
        return;
    }
    try {
        yieldOrEnd(m_host);
        m_host.clearLines();
        m_state.sections.endBlocks();
        m_state.viewsRefused = 0;
        // The catalogue is read afresh at every lookup, so there is nothing to
        // refresh; the start only checks that there is a server to ask, and
        // says so in the cleared list when there is none.
        step([&] { m_host.connection(); });

        step([&] { m_document.open(path); });
        // Any other file would be read as lines that do nothing, and the run would end as done.
        step([&] {
            if (!isXdbDocument())
                throw TabrixError(321, QStringLiteral("keine XDB-Datei: ") + path, kSource);
        });
        step([&] { m_host.progressStart(long(m_document.length() / kBlockBytes) + 1); });
        for (;;) {
            bool atEnd = true;
            step([&] { atEnd = m_document.atEnd(); });
            if (atEnd)
                break;
            QString line;
            step([&] { line = m_document.readLine(); });
            step([&] { m_host.progressStep(long(m_document.position() / kBlockBytes)); });
            yieldOrEnd(m_host);
            m_line = m_document.lineNumber();
            if (m_document.lineTooLong())
                refuseLine(QStringLiteral("länger als %1 Bytes, nicht verarbeitet").arg(XdbDocument::MaxLineBytes));
            else
                processLine(line);
            m_line = 0;
        }
        m_document.close();

        // On Sybase on Linux this view depends on others of the document.
        if (m_host.dialectOptions().sybaseOnLinux() && !HeldViewSql.isEmpty())
            createView(kHeldView, HeldViewSql);
        if (!m_host.autoMode())
            step([&] { m_host.showFinalMessage(QStringLiteral("Die QEL.XDB wurde abgearbeitet.")); });
        step([&] { m_host.progressStep(0); });
        m_host.enableCommands(true);
    } catch (const RunEnded&) {
        endEarly();
    } catch (const XdbRunCancelled&) {
        // The window closes: what the document still held was not applied.
        m_host.setRunFailed();
        endEarly();
    } catch (const std::exception& e) {
        // Nothing outside the steps is expected to fail; should it, the run ends reported.
        try {
            handle(TabrixError(5, QString::fromLocal8Bit(e.what()), kSource));
        } catch (const RunEnded&) {
        }
        endEarly();
    }
}

// A view the server refused is counted (its warning is in the conversion
// window's list); one for which nothing was sent fails the run and is listed
// here with its reason (the conversion window closing during its listing
// too: the document goes on). A text the rules cannot rewrite ends the run as
// any error of its kind does.
void Run::createView(const QString& name, const QString& statement)
{
    ViewResult result;
    if (!step([&] { result = m_host.createView(name, statement); }))
        return;
    switch (result.outcome) {
    case ViewOutcome::Created:
    case ViewOutcome::Translated:
        return;
    case ViewOutcome::Refused:
    case ViewOutcome::NotAView:
        // Listed here too (the conversion window lists the server's answer), so
        // that an unattended run's log says which view failed and why.
        ++m_state.viewsRefused;
        for (const QString& piece : CutIntoPieces(
                 QStringLiteral("\tSicht ") + name + QStringLiteral(" nicht angelegt: ") + result.reason, kPieceWidth))
            m_host.appendErrorLine(piece);
        return;
    case ViewOutcome::NotSent:
        if (result.errorNumber != 0) {
            handle(TabrixError(result.errorNumber, result.reason, kSource));
            return;
        }
        break;
    case ViewOutcome::EndedEarly:
        break;
    }
    m_host.setRunFailed();
    for (const QString& piece : CutIntoPieces(name + QStringLiteral(": ") + result.reason, kPieceWidth))
        m_host.appendLine(piece);
}

// A document holds a header or a table line; the search stops at the first,
// which in a real document is one of its first lines.
bool Run::isXdbDocument()
{
    bool found = false;
    while (!found && !m_document.atEnd()) {
        const QString line = m_document.readLine();
        found = !m_document.lineTooLong() && IsXdbStructureLine(line);
    }
    m_document.rewind();
    return found;
}

// A table whose name holds a NUL character is refused, then skipped like a missing one.
bool Run::opensTable(const QString& table)
{
    return !refusesNul(tableNamed(table), {table}) && OpenTable(m_host, m_state, table);
}

void Run::refuseLine(const QString& text)
{
    handle(TabrixError(kRefusedLine, text, kSource));
}

// A NUL character would cut the statement short where the server reads it.
// `owner` names the table (or view) the values belong to.
bool Run::refusesNul(const QString& owner, const QStringList& values)
{
    for (const QString& value : values) {
        if (value.contains(QChar(u'\0'))) {
            refuseLine(owner + QStringLiteral(": ") + named(QString(), value).mid(1)
                       + QStringLiteral(" enthält ein NUL-Zeichen und wird abgelehnt"));
            return true;
        }
    }
    return false;
}

void Run::endEarly()
{
    m_document.close();
    // The progress display must not stay behind as if the run went on.
    m_host.progressStep(0);
    m_host.enableCommands(true);
}

void Run::processLine(const QString& line)
{
    XdbSections& s = m_state.sections;
    const XdbLineWork work = ParseXdbLine(line, s);
    if (work.endsBlocks)
        s.endBlocks();

    if (work.oldField)
        addColumn(*work.oldField, true);

    // A table that cannot be named is skipped like a missing one.
    if (work.fieldsTable && !opensTable(*work.fieldsTable))
        s.FieldsSection = false;
    if (work.fieldsField)
        addColumn(*work.fieldsField, false);

    if (work.renameFieldTable && !opensTable(*work.renameFieldTable))
        s.RenameFieldSection = false;
    if (work.renameField)
        renameField(*work.renameField);

    if (work.renameTable)
        m_host.appendLine(QStringLiteral("Tabelle umbenennen: ") + work.renameTable->oldName + QStringLiteral("  ->  ")
                          + work.renameTable->newName + QStringLiteral("  [noch nicht implementiert]"));

    if (work.queryName)
        ViewName = *work.queryName;
    if (work.queryStatement && !ViewName.isEmpty()) {
        const QString statement = *work.queryStatement;
        m_host.appendLine(QStringLiteral("Abfrage/Sicht erstellen: ") + ViewName);
        const QString view = named(QStringLiteral("Sicht"), ViewName);
        // The name is quoted in every statement of the view where the dialect
        // cannot read it bare; a NUL character would cut them short.
        const bool refused = refusesNul(view, {ViewName, statement});
        if (refused) {
            // listed; nothing is sent for it
        } else if (m_host.dialectOptions().sybaseOnLinux() && ViewName == kHeldView) {
            HeldViewSql = statement;
        } else {
            createView(ViewName, statement);
        }
        ViewName.clear();
    }

    if (work.indexKey != XdbIndexKey::None)
        indexLine(work.indexKey, work.indexValue);

    if (work.opensFields) {
        s.FieldsSection = true;
        s.IndexSection = false;
    }
    if (work.opensRenameField) {
        s.RenameFieldSection = true;
        s.IndexSection = false;
    }
    if (work.opensRenameTable) {
        s.RenameTableSection = true;
        s.IndexSection = false;
    }
    if (work.opensIndex)
        s.IndexSection = true;
    if (work.opensQueries) {
        s.QueriesSection = true;
        ViewName.clear();
    }

    if (work.oldFormatTable) {
        // Set first: the table's status line names the section.
        s.OldFieldsSection = true;
        if (!opensTable(*work.oldFormatTable))
            s.OldFieldsSection = false;
    }
}

void Run::addColumn(const XdbFieldLine& field, bool withDefault)
{
    const XdbOptions options = m_host.dialectOptions();
    const QString feld = named(QStringLiteral("feld"), field.name);
    if (refusesNul(currentTableNamed(), {field.name, field.defaultText}))
        return;
    bool exists = false;
    // A test that fails goes on with the action it guards.
    if (!step([&] { exists = ColumnExists(m_state, field.name, options); }, feld))
        exists = false;
    if (exists)
        return;
    qint16 type = 0;
    qint16 size = 0;
    QString statement;
    step([&] { type = XdbLeadingNumber(field.typeText); }, named(QStringLiteral("Feldtyp"), field.typeText));
    step([&] { size = XdbLeadingNumber(field.sizeText); }, named(QStringLiteral("Feldgröße"), field.sizeText));
    const QString defaultText = withDefault ? field.defaultText : QString();
    const QString value = XdbDefault(defaultText);
    if (!value.isEmpty() && !IsXdbDefaultValue(value)) {
        refuseLine(named(QStringLiteral("Standardwert"), value)
                   + QStringLiteral(": kein Wert (erlaubt: Zahl, 'Text' oder Funktion())"));
        return;
    }
    step([&] { statement = BuildAddColumn(m_state, field.name, type, size, defaultText, options); }, feld);
    m_host.appendLine(QLatin1Char('\t') + statement);
    step([&] { m_host.executeSql(statement); });
    step([&] { RefreshColumns(m_host, m_state); });
}

void Run::renameField(const XdbRenameLine& rename)
{
    if (refusesNul(currentTableNamed(), {rename.oldName, rename.newName}))
        return;
    bool exists = true;
    if (!step([&] { exists = ColumnExists(m_state, rename.oldName, m_host.dialectOptions()); }))
        exists = true;
    if (!exists)
        return;
    m_host.appendLine(QLatin1Char('\t') + rename.oldName + QStringLiteral("  ->  ") + rename.newName);
    step([&] { RenameColumn(m_host, m_state, rename.oldName, rename.newName); });
    step([&] { RefreshColumns(m_host, m_state); });
}

void Run::indexLine(XdbIndexKey key, const QString& value)
{
    XdbSections& s = m_state.sections;
    // A block with a name that cannot be sent is given up.
    if (refusesNul(tableNamed(key == XdbIndexKey::Tabelle ? value : IndexTable), {value})) {
        s.IndexSection = false;
        return;
    }
    switch (key) {
    case XdbIndexKey::None:
        break;
    case XdbIndexKey::Tabelle:
        IndexTable = value;
        break;
    case XdbIndexKey::Name: {
        IndexName = value;
        bool exists = true;
        if (!step([&] { exists = IndexExists(m_host, IndexTable, IndexName); }))
            exists = true;
        if (exists)
            s.IndexSection = false;  // the rest of the block is skipped
        else
            IndexFieldCount = 0;
        break;
    }
    case XdbIndexKey::Attribute:
        step([&] { IndexAttributes = XdbWholeNumber(value); }, named(QStringLiteral("attribute"), value));
        break;
    case XdbIndexKey::Felderanzahl:
        step(
            [&] {
                const qint32 count = XdbWholeNumber(value);
                if (count < 1)
                    throw TabrixError(9, QStringLiteral("Index außerhalb des gültigen Bereichs"), kSource);
                if (count > kMostIndexFields)
                    throw TabrixError(6, QStringLiteral("Überlauf (höchstens %1 Felder)").arg(kMostIndexFields),
                                      kSource);
                IndexFields = QStringList(count);
                m_indexFieldsSized = true;
            },
            named(QStringLiteral("felderanzahl"), value));
        break;
    case XdbIndexKey::Feld: {
        // A field before the count, or beyond it, has no place to go.
        step(
            [&] {
                if (!m_indexFieldsSized || IndexFieldCount < 0 || IndexFieldCount >= IndexFields.size())
                    throw TabrixError(9, QStringLiteral("Index außerhalb des gültigen Bereichs (vor felderanzahl)"),
                                      kSource);
                IndexFields[IndexFieldCount] = value;
            },
            named(QStringLiteral("feld"), value));
        ++IndexFieldCount;
        if (IndexFieldCount > IndexFields.size() - 1) {
            bool created = true;
            if (!step([&] { created = CreateIndex(m_host, IndexTable, IndexName, IndexAttributes, IndexFields); }))
                created = true;
            if (created)
                m_host.appendLine(QStringLiteral("Neuen Index anlegen: ") + IndexTable + QLatin1Char('/') + IndexName);
            s.IndexSection = false;
        }
        break;
    }
    }
}

}  // namespace

void RunXdbDocument(XdbHost& host, XdbReaderState& state)
{
    Run(host, state).execute();
}

bool OpenTable(XdbHost& host, XdbReaderState& state, const QString& name)
{
    const XdbOptions options = host.dialectOptions();
    const QString table = options.upperCaseNames() ? name.toUpper() : name;
    bool result = true;
    // The catalogue is read live, so the lookup always sees the server's current tables.
    try {
        state.CurrentTable = host.connection().CatalogueTable(table);
    } catch (const std::exception&) {
        result = false;
    }

    QString status = table + QStringLiteral("\t\t");
    if (state.sections.FieldsSection)
        status += QStringLiteral("(Felder hinzufügen)");
    if (state.sections.OldFieldsSection)
        status += QStringLiteral("(Felder hinzufügen) [altes XDB-Format]");
    if (state.sections.RenameFieldSection)
        status += QStringLiteral("(Felder umbenennen)");
    host.appendLine(status);
    host.showLastLineAtTop();
    yieldOrEnd(host);
    if (!result)
        host.appendErrorLine(QStringLiteral("\tTabelle existiert nicht!"));
    return result;
}

bool ColumnExists(const XdbReaderState& state, const QString& name, const XdbOptions& options)
{
    // Never added on these two dialects: the name is longer than they allow.
    if (name == QStringLiteral("Auftragsbestätigung_Französisch") && options.upperCaseNames())
        return true;
    for (const QString& column : currentTable(state).Columns)
        if (column.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void RefreshColumns(XdbHost& host, XdbReaderState& state)
{
    const QString name = currentTable(state).Name;
    ServerTable fresh = host.connection().CatalogueTable(name);
    state.CurrentTable->Columns = std::move(fresh.Columns);
}

QString BuildAddColumn(const XdbReaderState& state, const QString& column, qint16 typeCode, qint16 size,
                       const QString& defaultText, const XdbOptions& options)
{
    return BuildAddColumn(currentTable(state).Name, column, typeCode, size, defaultText, options);
}

void RenameColumn(XdbHost& host, const XdbReaderState& state, const QString& oldName, const QString& newName)
{
    QString statement =
        RenameColumnStatement(currentTable(state).Name, oldName, newName, host.dialectOptions().dialect);
    host.executeSql(statement);
}

bool IndexExists(XdbHost& host, const QString& table, const QString& index)
{
    // Where the index is never looked up it counts as there.
    QString query = IndexExistsQuery(table, index, host.dialectOptions().dialect);
    if (query.isEmpty())
        return true;
    // Sent as ExecuteSql sends statements: Sybase on Linux reads a backslash in a literal as an escape.
    if (host.dialectOptions().sybaseOnLinux())
        DoubleBackslashes(query);
    std::unique_ptr<ServerResultSet> result =
        host.connection().OpenResultset(query, rdOpenForwardOnly, rdConcurReadOnly, rdExecDirect);
    const QVariant count = result->Value(0);
    result->Close();
    return count.toLongLong() != 0;
}

bool CreateIndex(XdbHost& host, const QString& table, const QString& index, qint32 attributes,
                 const QStringList& fields)
{
    QString statement = CreateIndexStatement(table, index, attributes, fields, host.dialectOptions().dialect);
    if (statement.isEmpty())
        return false;
    host.executeSql(statement);
    return true;
}
