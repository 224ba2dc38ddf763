#pragma once

// Turning a saved Access query into a server view: a fixed sequence of
// textual rewrites, no parsing. Everything here is a function of its
// arguments; the window's part (listing, drops, create) is in Views.h.

#include "core/Dialect.h"

#include <QString>

// The number of the error raised when a text cannot be rewritten (the
// runtime's "invalid procedure call"): callers that go on after errors above
// 1000 stop at this one.
constexpr long ViewRewriteErrorNumber = 5;

// The view as it is created.
struct ViewStatement {
    QString name;       // as written: cut to 30 characters on Oracle and DB2, quoted where needed
    QString statement;  // "CREATE VIEW " + name + " AS " + rewritten text
    QString bareName;   // the name cut, without quotes
    QString text;       // the rewritten text alone
};

// Rewrites one query's text for the dialect. The Linux switch changes nothing
// in the text (only the order of the views, see CreatedAfterAllOthers); it is
// taken so that callers hand over the whole choice.
// Raises TabrixError (ViewRewriteErrorNumber, the text naming the view) when
// a "LEFT(" or "RIGHT(" has no comma after it, an "AS '" no closing quote, a
// "YEAR(" or "MONTH(" no ")", or nested "RIGHT(" calls would copy themselves
// without end.
ViewStatement TranslateView(Dialect dialect, bool linuxSwitch, const QString& name, const QString& text);

// DB2 drops the view under its full, unquoted name before anything else,
// except the four views the ERP keeps; empty when there is no such drop.
QString Db2PreDropStatement(Dialect dialect, const QString& name);

// The drop before the create, given the cut name: quoted on MS SQL and DB2,
// elsewhere where the name cannot stand bare.
QString DropViewStatement(Dialect dialect, const QString& viewName);

// Sybase on Linux creates "View_BestellungAuftrag" after all other views.
bool CreatedAfterAllOthers(Dialect dialect, bool linuxSwitch, const QString& name);
