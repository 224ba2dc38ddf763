#pragma once

// Saved queries to server views: one view (Create_View) and the whole run
// over the Access database's queries ("Abfragen -> Sichten").

#include "translation/TranslationHost.h"

#include <QString>

// Rewrites the statement for the chosen dialect (TranslateView), lists the
// view in List1, drops the old view and creates the new one directly on the
// server connection. A server error on the create is listed ("Warnung: ");
// "S0021" is tolerated. A text that cannot be rewritten raises TabrixError
// before anything is sent. Returns false when the operation must end (the
// conversion window is to close); the view is then either left alone or,
// once its drop was sent, created as well. Run it inside an OperationScope
// that includes the conversion window.
bool Create_View(TranslationHost& host, const QString& name, const QString& statement);

// Every saved query becomes a view (only on workstation 1). A rewriting error
// ends the run with a message box naming the view; the commands are enabled
// again in every case.
RunOutcome RunQueriesToViews(TranslationHost& host);
