#include "conversion/TableList.h"
#include "core/TabrixError.h"
#include "server/ServerErrors.h"
#include "session/Session.h"
#include "ui/MessageBox.h"
#include "windows/Konvertierung.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <cmath>

// The load: open the Access database and list its tables with their row counts on the server.

void Konvertierung::c4c()
{
    OperationScope operation(this);
    Module1& state = m_session->module1();
    EnableCommands(false);
    List2->clear();
    setStatus(QStringLiteral("öffne Access"));

    // The load's error rule: a server in trouble ends the load; anything else
    // (a missing table above all) clears the current flag and the load goes on.
    bool serverTrouble = false;
    auto guard = [&](bool& flag, const std::function<void()>& statement) {
        if (serverTrouble)
            return;
        try {
            statement();
        } catch (const TabrixError& e) {
            if (e.number() == TabrixError::ServerErrorNumber && !e.description().startsWith(QLatin1String("S0002:"))) {
                serverTrouble = true;
                // The load ends here; its progress display must not stay behind.
                m_session->ProgressStep(0);
                state.RunFailed = true;
                if (IsConnectionLost(e)) {
                    m_session->ConnectionLost();
                    ShowMessage(this, ConnectionLostMessage(e.description()));
                    return;
                }
                ShowMessage(
                    this,
                    e.description()
                        + QStringLiteral("\r\nDatenbankserver überlastet\r\nBitte starten sie das Programm neu"));
                return;
            }
            flag = false;
        } catch (const std::exception&) {
            flag = false;
        }
    };

    const QString path = QELPfad->text();
    bool opened = true;
    guard(opened, [&] { SourceDatabase = dao::Database::OpenDatabase(path); });
    if (serverTrouble)
        return;
    if (!opened) {
        state.RunFailed = true;
        ShowMessage(this, QStringLiteral("Access-Datenquelle '") + path + QStringLiteral("' nicht gefunden!"));
        Command3->setEnabled(true);
        Command4->setEnabled(true);
        setStatus(QStringLiteral("Bereit."));
        return;
    }

    setStatus(QStringLiteral("lade Tabellen"));
    for (const dao::TableDef& def : SourceDatabase->TableDefs())
        if ((def.Attributes & dao::dbSystemObjectMask) == 0)
            List2->addItem(def.Name);

    const int count = List2->count();
    m_session->ProgressStart(count);
    qint64 tables = 0;
    qint64 rows = 0;
    QStringList unfinishedTables;
    // Tables whose conversion did not end, in this process or an earlier one.
    QString stateWarning;
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(List2->item(i)->text());
    const QSet<QString> unfinishedBefore =
        state.UnfinishedTables.unfinishedOf(m_session->dataSourceName(), path, names, &stateWarning);
    for (int i = count - 1; i >= 0; --i) {
        QListWidgetItem* item = List2->item(i);
        m_session->ProgressStep(count - i);
        List2->scrollToItem(item, QAbstractItemView::PositionAtTop);
        setStatus(QStringLiteral("suche Tabelle ") + item->text() + QStringLiteral(" auf SQL-Server"));
        if (mustEnd()) {
            // The window is to close: the load ends here.
            m_session->ProgressStep(0);
            return;
        }

        bool found = true;
        guard(found, [&] {
            if (!state.QueryConnection)
                throw NoConnectionError();
            state.CountResult =
                state.QueryConnection->OpenResultset(RowCountStatement(m_session->currentDialect(), item->text()),
                                                     rdOpenForwardOnly, rdConcurReadOnly, rdExecDirect);
        });
        if (serverTrouble)
            return;
        // A table left half-filled by a conversion that did not end is marked
        // again, although the server has it.
        const bool unfinished = unfinishedBefore.contains(item->text());
        if (found && unfinished)
            unfinishedTables.prepend(item->text());
        // The switch stands open while the program marks, so the click rule keeps out.
        setMarkingAllowed(true);
        item->setSelected(!found || unfinished);
        setMarkingAllowed(false);
        if (found) {
            bool ignored = true;
            qint64 n = 0;
            guard(ignored, [&] { n = state.CountResult->Value(0).toLongLong(); });
            if (serverTrouble)
                return;
            ++tables;
            rows += n;
            item->setText(PadName(item->text()) + QLatin1Char('[') + QString::number(n) + QLatin1Char(']'));
            guard(ignored, [&] {
                state.CountResult->Close();
                state.CountResult.reset();
            });
            if (serverTrouble)
                return;
        }
    }
    m_session->ProgressStep(0);

    List1->clear();
    List1->addItem(QStringLiteral("Abfragen in Datenbank: ") + QString::number(SourceDatabase->QueryDefs().size()));
    List1->addItem(QStringLiteral("Beziehungen in Datenbank: ") + QString::number(SourceDatabase->Relations().size()));
    List1->addItem(QString());
    const ServerConnection* server = state.ServerConnection.get();
    List1->addItem(QStringLiteral("SQL-Treiber: ") + (server ? server->Name() : QString()) + QStringLiteral(" : ")
                   + (server ? server->Description() : QString()));
    for (const QString& table : unfinishedTables)
        List1->addItem(QStringLiteral("Tabelle ") + table
                       + QStringLiteral(": die letzte Konvertierung wurde nicht beendet, die Tabelle ist markiert."));
    if (!stateWarning.isEmpty())
        List1->addItem(stateWarning);

    setStatus(QStringLiteral("Bereit.   [") + QString::number(rows) + QStringLiteral(" Sätze in ")
              + QString::number(tables) + QStringLiteral(" Tabellen auf dem SQL-Server]"));
    EnableCommands(true);
    AbortRequested = false;
}
