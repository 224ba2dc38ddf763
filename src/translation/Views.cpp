#include "translation/Views.h"

#include "core/TabrixError.h"
#include "core/TextPieces.h"
#include "core/WorkstationShare.h"
#include "server/ExecuteSql.h"
#include "server/ServerConnection.h"
#include "server/ServerErrors.h"
#include "sql/DialectRecord.h"
#include "sql/Names.h"
#include "translation/AccessSqlWriter.h"
#include "translation/ViewRewrite.h"

#include <algorithm>
#include <optional>

namespace {

// The connection's execute with its options left out: views are sent
// without ExecuteSql's tolerated errors, but with its backslash doubling where
// the server reads a backslash in a literal as an escape.
constexpr int kOptionsLeftOut = 0;

const QString kDashes(40, QLatin1Char('-'));

void listWarning(TranslationHost& host, long number, const QString& description)
{
    host.appendLine(QStringLiteral("Warnung: ") + QString::number(number));
    for (const QString& piece : CutIntoPieces(description, 80))
        host.appendLine(piece);
    host.appendLine(kDashes);
}

// A view for which nothing is sent: the old view on the server stays as it is.
ViewResult notSent(TranslationHost& host, const QString& name, const QString& reason)
{
    host.appendLine(name);
    for (const QString& piece : CutIntoPieces(QStringLiteral("Warnung: ") + reason, 80))
        host.appendLine(piece);
    host.appendLine(kDashes);
    return {ViewOutcome::NotSent, reason, 0};
}

// A statement the server may refuse: drops (the view may not exist) and
// creates. A lost connection ends the run; any other error comes back.
std::optional<TabrixError> send(TranslationHost& host, const QString& statement)
{
    try {
        QString text = statement;
        if (host.dialectOptions().doublesBackslashes())
            DoubleBackslashes(text);
        host.connection().Execute(text, kOptionsLeftOut);
    } catch (const TabrixError& e) {
        if (IsConnectionLost(e))
            throw;
        return e;
    } catch (const std::exception& e) {
        return TabrixError(ViewRewriteErrorNumber, QString::fromLocal8Bit(e.what()));
    }
    return std::nullopt;
}

// "S0021" (a column name twice) passes without a word; the view is not
// there all the same.
bool listed(const TabrixError& refusal)
{
    return !refusal.description().startsWith(QLatin1String("S0021"));
}

ViewResult refusedBy(const TabrixError& refusal)
{
    return {ViewOutcome::Refused, refusal.description(), refusal.number()};
}

// The create: a refusal is listed, unless it passes without a word.
std::optional<TabrixError> create(TranslationHost& host, const QString& statement)
{
    std::optional<TabrixError> refusal = send(host, statement);
    if (refusal && listed(*refusal))
        listWarning(host, refusal->number(), refusal->description());
    return refusal;
}

// The rewritten text was refused: on MySQL and MS SQL the Access text is read
// and written in the server's own terms, and that is sent once.
ViewResult translateRefused(TranslationHost& host, const ViewStatement& view, const QString& accessText,
                            const TabrixError& refusal)
{
    const AccessSqlTranslation translation = TranslateAccessQuery(accessText, host.dialect());
    switch (translation.outcome) {
    case AccessSqlTranslation::Outcome::NotAView:
        host.appendLine(translation.reason);
        return {ViewOutcome::NotAView, translation.reason, 0};
    case AccessSqlTranslation::Outcome::Untranslatable:
        host.appendLine(translation.reason);
        return refusedBy(refusal);
    case AccessSqlTranslation::Outcome::Translated:
        break;
    }
    const QString statement = QStringLiteral("CREATE VIEW ") + view.name + QStringLiteral(" AS ") + translation.text;
    // Sent once only: the same text would be refused the same way.
    if (statement == view.statement)
        return refusedBy(refusal);
    host.appendLine(QStringLiteral("Übersetzt:"));
    for (const QString& piece : CutIntoPieces(statement, 80))
        host.appendLine(piece);
    host.setClipboardText(statement);
    if (const std::optional<TabrixError> again = create(host, statement))
        return refusedBy(*again);
    return {ViewOutcome::Translated, QString(), 0};
}

bool translatable(Dialect dialect)
{
    return DialectRecord(dialect).translatesViews;
}

}  // namespace

ViewResult Create_View(TranslationHost& host, const QString& name, const QString& statement)
{
    const Dialect dialect = host.dialect();
    // Rewritten before anything is sent: a text that cannot be translated
    // leaves the server's view as it was.
    ViewStatement view;
    try {
        view = TranslateView(dialect, host.linuxSwitch(), name, statement);
    } catch (const TabrixError& e) {
        return {ViewOutcome::NotSent, e.description(), e.number()};
    }
    // "CREATE VIEW x AS " without a select can only fail, after the drop.
    if (view.text.trimmed().isEmpty())
        return notSent(host, view.name, QStringLiteral("Die Abfrage hat keinen SQL-Text."));

    const ViewResult closing{ViewOutcome::EndedEarly, QStringLiteral("Das Fenster wird geschlossen."), 0};
    host.appendLine(view.name);
    for (const QString& piece : CutIntoPieces(view.statement, 80)) {
        host.appendLine(piece);
        if (!host.yieldToUser())
            return closing;
    }
    host.showLastLineAtTop();
    host.appendLine(QString());
    if (host.endRequested())
        return closing;

    // From the first drop on the view is created too, whatever the user does
    // meanwhile: the server is not left without it.
    const QString preDrop = Db2PreDropStatement(dialect, name);
    if (!preDrop.isEmpty())
        send(host, preDrop);
    host.setStatus(QStringLiteral("lösche eventuell vorhandenen View"));
    send(host, DropViewStatement(dialect, view.bareName));
    host.setClipboardText(view.statement);
    host.setStatus(QStringLiteral("erzeuge neuen View"));
    ViewResult result;
    if (const std::optional<TabrixError> refusal = create(host, view.statement)) {
        // Translated only where a warning was listed, as the user sees it.
        result = translatable(dialect) && listed(*refusal) ? translateRefused(host, view, statement, *refusal)
                                                           : refusedBy(*refusal);
    }
    host.setStatus(QStringLiteral("Bereit."));
    return result;
}

ViewResult CreateQueryView(TranslationHost& host, const dao::QueryDef& query)
{
    if (!query.SQLError.isEmpty())
        return notSent(host, ViewTextName(query.Name, host.dialect()), query.SQLError);
    return Create_View(host, query.Name, query.SQL);
}

QString ViewsStatusLine(const QList<ViewOutcome>& outcomes)
{
    const auto count = [&](std::initializer_list<ViewOutcome> which) {
        return QString::number(std::count_if(outcomes.begin(), outcomes.end(), [&](ViewOutcome o) {
            return std::find(which.begin(), which.end(), o) != which.end();
        }));
    };
    return QStringLiteral("Sichten: ") + count({ViewOutcome::Created, ViewOutcome::Translated})
        + QStringLiteral(" angelegt, davon ") + count({ViewOutcome::Translated}) + QStringLiteral(" übersetzt, ")
        + count({ViewOutcome::Refused}) + QStringLiteral(" abgewiesen, ")
        + count({ViewOutcome::NotAView, ViewOutcome::NotSent}) + QStringLiteral(" keine Sicht möglich");
}

ViewsOutcome RunQueriesToViews(TranslationHost& host)
{
    ViewsOutcome outcome;
    bool running = false;  // commands disabled, progress started
    auto finish = [&](RunOutcome ended) {
        if (running) {
            host.progressStep(0);
            host.enableCommands(true);
        }
        outcome.outcome = ended;
        return outcome;
    };
    // The one place where an error ends the run.
    auto fail = [&](const QString& text) {
        if (running)
            host.progressStep(0);
        host.showMessage(text);
        host.enableCommands(true);
        outcome.outcome = RunOutcome::Failed;
        return outcome;
    };

    try {
        // Only the first workstation creates views.
        if (ReadWorkstationNumber(host.workstationNumber()) != 1)
            return outcome;
        host.enableCommands(false);
        running = true;
        host.clearLines();
        const qsizetype count = host.database().QueryDefs().size();
        host.progressStart(long(count));
        QList<NamedViewResult>& views = outcome.views;
        // Refused views, each with the number of views created before its
        // last try: only a view created since can make it work now.
        QList<QPair<dao::QueryDef, int>> refused;
        int created = 0;
        // One view; false when the run must end.
        const auto createOne = [&](const dao::QueryDef& query, ViewResult* result) {
            *result = CreateQueryView(host, query);
            // A text the rules cannot rewrite ends the run, named in a message.
            if (result->outcome == ViewOutcome::NotSent && result->errorNumber == ViewRewriteErrorNumber)
                throw TabrixError(result->errorNumber, result->reason);
            if (result->outcome == ViewOutcome::Created || result->outcome == ViewOutcome::Translated)
                ++created;
            return result->outcome != ViewOutcome::EndedEarly && !host.endRequested();
        };
        const auto createInPass = [&](const dao::QueryDef& query) {
            ViewResult result{ViewOutcome::EndedEarly};
            const bool goOn = createOne(query, &result);
            views.append({query.Name, result});
            if (result.outcome == ViewOutcome::Refused)
                refused.append({query, created});
            return goOn;
        };
        for (qsizetype i = 0; i < count; ++i) {
            host.progressStep(long(i + 1));
            // A copy: nothing of the database is held across the yields.
            const dao::QueryDef query = host.database().QueryDefs().value(i);
            if (CreatedAfterAllOthers(host.dialect(), host.linuxSwitch(), query.Name))
                continue;
            if (!createInPass(query))
                return finish(RunOutcome::EndedEarly);
        }
        if (host.dialectOptions().sybaseOnLinux()) {
            for (qsizetype i = 0; i < host.database().QueryDefs().size(); ++i) {
                const dao::QueryDef query = host.database().QueryDefs().value(i);
                if (CreatedAfterAllOthers(host.dialect(), host.linuxSwitch(), query.Name) && !createInPass(query))
                    return finish(RunOutcome::EndedEarly);
            }
        }
        // A view may read one that the pass created after it: a refused view
        // is tried again once another view was created after its last try
        // (on the servers whose views are translated; the others get exactly
        // the statements of the pass).
        for (bool progress = translatable(host.dialect()); progress;) {
            progress = false;
            for (qsizetype i = 0; i < refused.size();) {
                if (refused[i].second == created) {
                    ++i;
                    continue;
                }
                host.appendLine(QStringLiteral("Neuer Versuch nach den anderen Sichten: ") + refused[i].first.Name);
                ViewResult result{ViewOutcome::EndedEarly};
                const bool goOn = createOne(refused[i].first, &result);
                if (result.outcome == ViewOutcome::Created || result.outcome == ViewOutcome::Translated) {
                    for (NamedViewResult& view : views)
                        if (view.name == refused[i].first.Name && view.result.outcome == ViewOutcome::Refused)
                            view.result = result;
                    refused.removeAt(i);
                    progress = true;
                } else {
                    refused[i++].second = created;
                }
                if (!goOn)
                    return finish(RunOutcome::EndedEarly);
            }
        }
        QList<ViewOutcome> outcomes;
        for (const NamedViewResult& view : std::as_const(views))
            outcomes.append(view.result.outcome);
        host.setStatus(ViewsStatusLine(outcomes));
        return finish(RunOutcome::Completed);
    } catch (const TabrixError& e) {
        if (IsConnectionLost(e)) {
            if (running)
                host.progressStep(0);
            host.connectionLost(e.description());
            host.enableCommands(true);
            outcome.outcome = RunOutcome::Failed;
            return outcome;
        }
        return fail(e.description());
    } catch (const std::exception& e) {
        return fail(QString::fromLocal8Bit(e.what()));
    }
}
