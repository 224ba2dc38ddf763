#pragma once

// The XDB document's line forms: fixed columns, numbers, and what one line
// asks of the reader given the blocks open before it. Pure functions; the run
// (XdbRun) carries the work out against the server.

#include <QString>

#include <optional>

// The blocks the reader is in; they live as long as the XDB window.
struct XdbSections {
    bool FieldsSection = false;       // "[felder]"
    bool OldFieldsSection = false;    // old format, after a line holding "#####"
    bool RenameFieldSection = false;  // "[renamefield]"
    bool RenameTableSection = false;  // "[renametable]"
    bool QueriesSection = false;      // "[querys]"
    bool IndexSection = false;        // "[Indizes]"; survives the end of blocks and the start of a run

    // Every block but the index block ends.
    void endBlocks();
    bool operator==(const XdbSections&) const = default;
};

// Columns first..last of a line, 1-based and inclusive, as character
// positions; last 0 means to the end of the line. Columns beyond the line are empty.
QString XdbColumns(const QString& line, int first, int last = 0);

// Type codes and sizes: the leading number of the text. Blanks are skipped,
// the number ends at the first character that is no part of it, no digits
// give 0; rounded half to even. Raises TabrixError 6 beyond 16 bits.
qint16 XdbLeadingNumber(const QString& text);

// "attribute" and "felderanzahl": the whole text (blanks around it allowed)
// as a number, rounded half to even. Raises TabrixError 13 when it is no
// number and 6 beyond 32 bits.
qint32 XdbWholeNumber(const QString& text);

struct XdbFieldLine {
    QString name;
    QString typeText;  // read with XdbLeadingNumber when the column is added
    QString sizeText;
    QString defaultText;  // old format only
};

struct XdbRenameLine {
    QString oldName;
    QString newName;
};

enum class XdbIndexKey { None, Tabelle, Name, Attribute, Felderanzahl, Feld };

// What one line asks for, in the order the reader carries it out. The values
// come from the line's fixed columns; which parts are present depends on the
// blocks open before the line (after the line has ended blocks). Parts that
// depend on the server's answers within the line (a table that is missing,
// an index that exists) are decided by the run.
struct XdbLineWork {
    bool endsBlocks = false;  // "[" without exact-case "SQL", or "#####"

    std::optional<XdbFieldLine> oldField;  // old format block

    std::optional<QString> fieldsTable;  // "[felder]" table line
    std::optional<XdbFieldLine> fieldsField;

    std::optional<QString> renameFieldTable;  // "[renamefield]"
    std::optional<XdbRenameLine> renameField;

    std::optional<XdbRenameLine> renameTable;  // "[renametable]"

    std::optional<QString> queryName;  // "[querys]"
    std::optional<QString> queryStatement;

    XdbIndexKey indexKey = XdbIndexKey::None;  // "[Indizes]"
    QString indexValue;

    bool opensFields = false;
    bool opensRenameField = false;
    bool opensRenameTable = false;
    bool opensIndex = false;
    bool opensQueries = false;

    std::optional<QString> oldFormatTable;  // a line holding "#####"
};

XdbLineWork ParseXdbLine(const QString& line, const XdbSections& sections);

// Whether the line shows the text to be an XDB document: a header, an
// old-format table line ("#####") or a key line "tabelle".
bool IsXdbStructureLine(const QString& line);
