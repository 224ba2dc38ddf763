#include "translation/Views.h"

#include "core/TabrixError.h"
#include "core/TextPieces.h"
#include "core/WorkstationShare.h"
#include "server/ServerConnection.h"
#include "server/ServerErrors.h"
#include "sql/Names.h"
#include "translation/ViewRewrite.h"

namespace {

// The connection's execute with its options left out: views are sent as they
// are, without ExecuteSql's backslash doubling and tolerated errors.
constexpr int kOptionsLeftOut = 0;

enum class OnServerError { Ignore, ListWarning };

void listWarning(TranslationHost& host, long number, const QString& description)
{
    if (description.startsWith(QLatin1String("S0021")))
        return;
    host.appendLine(QStringLiteral("Warnung: ") + QString::number(number));
    for (const QString& piece : CutIntoPieces(description, 80))
        host.appendLine(piece);
    host.appendLine(QString(40, QLatin1Char('-')));
}

// Every statement of the views goes through here: the one place where a
// server error is judged. Drops may fail (the view may not exist); a failed
// create is listed and the run goes on with the next view. A lost connection
// ends the run.
void send(TranslationHost& host, const QString& statement, OnServerError onError)
{
    try {
        host.connection().Execute(statement, kOptionsLeftOut);
    } catch (const TabrixError& e) {
        if (IsConnectionLost(e))
            throw;
        if (onError == OnServerError::ListWarning)
            listWarning(host, e.number(), e.description());
    } catch (const std::exception& e) {
        if (onError == OnServerError::ListWarning)
            listWarning(host, ViewRewriteErrorNumber, QString::fromLocal8Bit(e.what()));
    }
}

}  // namespace

bool Create_View(TranslationHost& host, const QString& name, const QString& statement)
{
    const Dialect dialect = host.dialect();
    // Rewritten before anything is sent: a text that cannot be translated
    // leaves the server's view as it was.
    const ViewStatement view = TranslateView(dialect, host.linuxSwitch(), name, statement);

    host.appendLine(view.name);
    for (const QString& piece : CutIntoPieces(view.statement, 80)) {
        host.appendLine(piece);
        if (!host.yieldToUser())
            return false;
    }
    host.showLastLineAtTop();
    host.appendLine(QString());
    if (host.endRequested())
        return false;

    // From the first drop on the view is created too, whatever the user does
    // meanwhile: the server is not left without it.
    const QString preDrop = Db2PreDropStatement(dialect, name);
    if (!preDrop.isEmpty())
        send(host, preDrop, OnServerError::Ignore);
    host.setStatus(QStringLiteral("lösche eventuell vorhandenen View"));
    send(host, DropViewStatement(dialect, view.name), OnServerError::Ignore);
    host.setClipboardText(view.statement);
    host.setStatus(QStringLiteral("erzeuge neuen View"));
    send(host, view.statement, OnServerError::ListWarning);
    host.setStatus(QStringLiteral("Bereit."));
    return !host.endRequested();
}

RunOutcome RunQueriesToViews(TranslationHost& host)
{
    bool running = false;  // commands disabled, progress started
    auto finish = [&](RunOutcome outcome) {
        if (running) {
            host.progressStep(0);
            host.enableCommands(true);
        }
        return outcome;
    };
    // The one place where an error ends the run.
    auto fail = [&](const QString& text) {
        if (running)
            host.progressStep(0);
        host.showMessage(text);
        host.enableCommands(true);
        return RunOutcome::Failed;
    };

    try {
        // Only the first workstation creates views.
        if (ReadWorkstationNumber(host.workstationNumber()) != 1)
            return RunOutcome::Completed;
        host.enableCommands(false);
        running = true;
        host.clearLines();
        const qsizetype count = host.database().QueryDefs().size();
        host.progressStart(long(count));
        for (qsizetype i = 0; i < count; ++i) {
            host.progressStep(long(i + 1));
            // A copy: nothing of the database is held across the yields.
            const dao::QueryDef query = host.database().QueryDefs().value(i);
            if (CreatedAfterAllOthers(host.dialect(), host.linuxSwitch(), query.Name))
                continue;
            if (!Create_View(host, query.Name, query.SQL))
                return finish(RunOutcome::EndedEarly);
        }
        if (host.dialect() == Dialect::Sybase && host.linuxSwitch()) {
            for (qsizetype i = 0; i < host.database().QueryDefs().size(); ++i) {
                const dao::QueryDef query = host.database().QueryDefs().value(i);
                if (CreatedAfterAllOthers(host.dialect(), host.linuxSwitch(), query.Name)
                    && !Create_View(host, query.Name, query.SQL))
                    return finish(RunOutcome::EndedEarly);
            }
        }
        return finish(RunOutcome::Completed);
    } catch (const TabrixError& e) {
        if (IsConnectionLost(e)) {
            if (running)
                host.progressStep(0);
            host.connectionLost(e.description());
            host.enableCommands(true);
            return RunOutcome::Failed;
        }
        return fail(e.description());
    } catch (const std::exception& e) {
        return fail(QString::fromLocal8Bit(e.what()));
    }
}
