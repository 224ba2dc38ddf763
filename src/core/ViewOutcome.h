#pragma once

// What became of one view: told by the conversion window's Create_View to the
// views run and to the XDB run, which count and report it.

#include <QString>

enum class ViewOutcome {
    Created,     // the rewritten statement was accepted
    Translated,  // refused as rewritten; the translation of the Access text was accepted
    Refused,     // the server refused it (reason: its warning)
    NotAView,    // refused, and the query cannot be a view (parameters, crosstab, form, action)
    NotSent,     // nothing was sent: no text, or a text that cannot be rewritten
    EndedEarly,  // nothing was sent: the window is to close
};

struct ViewResult {
    ViewOutcome outcome = ViewOutcome::Created;
    QString reason{};      // the server's warning, or why nothing was sent; empty when created
    long errorNumber = 0;  // the number of the error behind the reason, 0 when there is none
};
