#pragma once

// Saved queries to server views: one view (Create_View) and the whole run
// over the Access database's queries ("Abfragen -> Sichten").

#include "core/ViewOutcome.h"
#include "translation/TranslationHost.h"

#include <QList>
#include <QString>

// Rewrites the statement for the chosen dialect (TranslateView), lists the
// view in List1, drops the old view and creates the new one directly on the
// server connection. A server error on the create is listed ("Warnung: ");
// "S0021" is tolerated. On MySQL and MS SQL a refused view is then translated
// from the Access text (AccessSqlWriter.h) and sent once more, listed after
// "Übersetzt:"; a query that cannot be a view gets one line saying why.
// Nothing is sent for a text that cannot be rewritten (NotSent with the
// rewriting error's number and text, not listed) nor for an empty one (NotSent,
// listed as a warning), nor once the window is to close during the listing
// (EndedEarly); once its drop was sent the view is created whatever the user
// does, so the caller asks endRequested() itself. Run it inside an
// OperationScope that includes the conversion window.
ViewResult Create_View(TranslationHost& host, const QString& name, const QString& statement);

// Create_View for a saved query; a query whose text the engine could not
// rebuild (SQLError) is listed with its reason and nothing is sent.
ViewResult CreateQueryView(TranslationHost& host, const dao::QueryDef& query);

// "Sichten: N angelegt, davon M übersetzt, K abgewiesen, J keine Sicht möglich"
// (queries with nothing sent count as no view possible).
QString ViewsStatusLine(const QList<ViewOutcome>& outcomes);

// Every saved query becomes a view (only on workstation 1); views refused in
// the pass are tried again while that creates one of them (a view may read a
// view created later). A rewriting error ends the run with a message box
// naming the view; the commands are enabled again in every case. The status
// line ends with the counts; each view's result is returned.
ViewsOutcome RunQueriesToViews(TranslationHost& host);
