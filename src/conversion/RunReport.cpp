#include "conversion/RunReport.h"

#include "sql/DialectRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString esc(const QString& text)
{
    return text.toHtmlEscaped();
}

QString count(qint64 n)
{
    return n < 0 ? QStringLiteral("–") : QLocale(QLocale::German).toString(n);
}

QString when(const QDateTime& t)
{
    return t.isValid() ? t.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) : QStringLiteral("–");
}

QString duration(const QDateTime& from, const QDateTime& to)
{
    if (!from.isValid() || !to.isValid())
        return QStringLiteral("–");
    const qint64 s = std::max<qint64>(0, from.secsTo(to));
    QStringList parts;
    if (s >= 3600)
        parts << QString::number(s / 3600) + QStringLiteral(" h");
    if (s >= 60)
        parts << QString::number(s / 60 % 60) + QStringLiteral(" min");
    parts << QString::number(s % 60) + QStringLiteral(" s");
    return parts.join(QLatin1Char(' '));
}

QString orDash(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("–") : esc(text);
}

// Whether an item needs the reader's attention: it goes first.
bool failed(const TableOutcome& t)
{
    return t.result != TableResult::Converted || t.check.result == DataCheckResult::Differences;
}
bool failed(const NamedViewResult& v)
{
    return v.result.outcome != ViewOutcome::Created && v.result.outcome != ViewOutcome::Translated;
}
bool failed(const TriggerResult& t)
{
    return !t.created;
}

QString tableResult(const TableOutcome& t)
{
    switch (t.result) {
    case TableResult::Converted:
        return QStringLiteral("konvertiert");
    case TableResult::Failed:
        return QStringLiteral("Fehler");
    case TableResult::Skipped:
        return QStringLiteral("nicht konvertiert");
    }
    return {};
}

QString checkText(const DataCheckOutcome& c)
{
    switch (c.result) {
    case DataCheckResult::Passed:
        return QStringLiteral("bestanden (%1 Zahlen verglichen)").arg(c.figures);
    case DataCheckResult::Differences:
        return c.differences.size() == 1 ? QStringLiteral("1 Abweichung")
                                         : QStringLiteral("%1 Abweichungen").arg(c.differences.size());
    case DataCheckResult::NotChecked:
    case DataCheckResult::NotRun:
        break;
    }
    return c.reason.isEmpty() ? QStringLiteral("nicht geprüft") : QStringLiteral("nicht geprüft: ") + c.reason;
}

QString viewResult(ViewOutcome outcome)
{
    switch (outcome) {
    case ViewOutcome::Created:
        return QStringLiteral("angelegt");
    case ViewOutcome::Translated:
        return QStringLiteral("übersetzt und angelegt");
    case ViewOutcome::Refused:
        return QStringLiteral("vom Server abgewiesen");
    case ViewOutcome::NotAView:
        return QStringLiteral("keine Sicht möglich");
    case ViewOutcome::NotSent:
        return QStringLiteral("nicht gesendet");
    case ViewOutcome::EndedEarly:
        return QStringLiteral("nicht mehr bearbeitet");
    }
    return {};
}

QString rowClass(const TableOutcome& t)
{
    if (t.result == TableResult::Failed)
        return QStringLiteral("tabelle fehler");
    if (t.result == TableResult::Skipped)
        return QStringLiteral("tabelle offen");
    return t.check.result == DataCheckResult::Differences ? QStringLiteral("tabelle abweichung")
                                                          : QStringLiteral("tabelle ok");
}

void tablesSection(QString& out, const QList<const TableOutcome*>& tables)
{
    if (tables.isEmpty())
        return;
    out += QStringLiteral("<h3>Tabellen</h3>\n<table class=\"liste\">\n<tr><th>Tabelle</th><th>Ergebnis</th>"
                          "<th>Datensätze in Access</th><th>übertragen</th><th>auf dem Server</th>"
                          "<th>Prüfung</th></tr>\n");
    for (const TableOutcome* t : tables) {
        QString result = tableResult(*t);
        if (t->result != TableResult::Converted && !t->reason.isEmpty())
            result += QStringLiteral(": ") + t->reason;
        out += QStringLiteral("<tr class=\"%1\"><td class=\"name\">%2</td><td>%3</td><td class=\"zahl\">%4</td>"
                              "<td class=\"zahl\">%5</td><td class=\"zahl\">%6</td><td>%7</td></tr>\n")
                   .arg(rowClass(*t), esc(t->table), esc(result), count(t->rowsInFile),
                        count(t->result == TableResult::Skipped ? -1 : t->rowsSent), count(t->check.rowsOnServer),
                        esc(checkText(t->check)));
        const bool details = !t->check.differences.isEmpty() || !t->check.leftOut.isEmpty() || !t->logLines.isEmpty();
        if (!details)
            continue;
        out += QStringLiteral("<tr class=\"details\"><td colspan=\"6\">");
        if (!t->check.leftOut.isEmpty())
            out += QStringLiteral("<p>Vom Programm ausgelassen: ") + esc(t->check.leftOut) + QStringLiteral("</p>");
        if (!t->check.differences.isEmpty()) {
            out += QStringLiteral("<table class=\"abweichungen\"><tr><th>Feld</th><th>Zahl</th><th>in Access</th>"
                                  "<th>auf dem Server</th></tr>");
            for (const DataDifference& d : t->check.differences)
                out += QStringLiteral("<tr><td>%1</td><td>%2</td><td class=\"zahl\">%3</td><td class=\"zahl\">%4</td>"
                                      "</tr>")
                           .arg(d.field.isEmpty() ? QStringLiteral("(Datensätze)") : esc(d.field), esc(d.figure),
                                esc(d.inFile), esc(d.onServer));
            out += QStringLiteral("</table>");
        }
        if (!t->logLines.isEmpty())
            out += QStringLiteral("<p>Fehler-Protokoll:</p><pre>") + esc(t->logLines.join(QLatin1Char('\n')))
                + QStringLiteral("</pre>");
        out += QStringLiteral("</td></tr>\n");
    }
    out += QStringLiteral("</table>\n");
}

void viewsSection(QString& out, const QList<const NamedViewResult*>& views)
{
    if (views.isEmpty())
        return;
    out += QStringLiteral("<h3>Sichten</h3>\n<table class=\"liste\">\n<tr><th>Sicht</th><th>Ergebnis</th>"
                          "<th>Meldung</th></tr>\n");
    for (const NamedViewResult* v : views)
        out += QStringLiteral("<tr class=\"sicht %1\"><td class=\"name\">%2</td><td>%3</td><td>%4</td></tr>\n")
                   .arg(failed(*v) ? QStringLiteral("fehler") : QStringLiteral("ok"), esc(v->name),
                        viewResult(v->result.outcome), orDash(v->result.reason));
    out += QStringLiteral("</table>\n");
}

void triggersSection(QString& out, const QList<const TriggerResult*>& triggers)
{
    if (triggers.isEmpty())
        return;
    out += QStringLiteral("<h3>Trigger</h3>\n<table class=\"liste\">\n<tr><th>Tabelle</th><th>Trigger</th>"
                          "<th>Ergebnis</th><th>Meldung des Servers</th></tr>\n");
    for (const TriggerResult* t : triggers)
        out += QStringLiteral("<tr class=\"trigger %1\"><td class=\"name\">%2</td><td>%3</td><td>%4</td><td>%5</td>"
                              "</tr>\n")
                   .arg(failed(*t) ? QStringLiteral("fehler") : QStringLiteral("ok"), esc(t->table), esc(t->trigger),
                        t->created ? QStringLiteral("angelegt") : QStringLiteral("vom Server abgewiesen"),
                        orDash(t->error));
    out += QStringLiteral("</table>\n");
}

template <typename Item>
QList<const Item*> select(const QList<Item>& items, bool failures)
{
    QList<const Item*> out;
    for (const Item& item : items)
        if (failed(item) == failures)
            out.append(&item);
    return out;
}

const char kStyle[] = R"css(
body { font-family: "DejaVu Sans", Arial, sans-serif; font-size: 10pt; color: #222; margin: 1.5em; }
h1 { font-size: 16pt; margin: 0 0 .6em; }
h2 { font-size: 13pt; margin: 1.4em 0 .4em; border-bottom: 1px solid #999; }
h3 { font-size: 11pt; margin: 1em 0 .3em; }
table { border-collapse: collapse; margin: 0 0 .8em; }
th, td { border: 1px solid #bbb; padding: .2em .5em; text-align: left; vertical-align: top; }
th { background: #eee; }
table.fakten th { background: none; border: none; padding-left: 0; }
table.fakten td { border: none; }
td.zahl { text-align: right; white-space: nowrap; }
tr.fehler td, tr.offen td, td.fehler { background: #fbe3e3; }
tr.abweichung td, td.abweichung { background: #fff1cc; }
tr.details td { background: #fafafa; }
td.ok { background: #e6f4e6; }
pre { white-space: pre-wrap; margin: .2em 0; font-size: 9pt; }
p { margin: .3em 0; }
footer { margin-top: 2em; font-size: 8.5pt; color: #555; }
@media print { body { margin: 0; } tr { page-break-inside: avoid; } }
)css";

}  // namespace

QString RunReportHtml(const RunReport& r)
{
    const QList<const TableOutcome*> failedTables = select(r.tables, true);
    const QList<const NamedViewResult*> failedViews =
        r.views ? select(r.views->views, true) : QList<const NamedViewResult*>();
    const QList<const TriggerResult*> failedTriggers =
        r.triggers ? select(r.triggers->triggers, true) : QList<const TriggerResult*>();

    QStringList summary;
    const auto countOf = [](qsizetype n, const char* one, const char* many) {
        return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(n == 1 ? one : many);
    };
    const qsizetype differing = std::count_if(r.tables.begin(), r.tables.end(), [](const TableOutcome& t) {
        return t.check.result == DataCheckResult::Differences;
    });
    const qsizetype tableFailures = std::count_if(
        r.tables.begin(), r.tables.end(), [](const TableOutcome& t) { return t.result != TableResult::Converted; });
    if (tableFailures > 0)
        summary << countOf(tableFailures, "Tabelle nicht konvertiert", "Tabellen nicht konvertiert");
    if (differing > 0)
        summary << countOf(differing, "Tabelle mit Abweichungen", "Tabellen mit Abweichungen");
    if (!failedViews.isEmpty())
        summary << countOf(failedViews.size(), "Sicht nicht angelegt", "Sichten nicht angelegt");
    if (!failedTriggers.isEmpty())
        summary << countOf(failedTriggers.size(), "Trigger abgewiesen", "Trigger abgewiesen");
    if (!r.xdbErrors.isEmpty())
        summary << countOf(r.xdbErrors.size(), "Fehlerzeile des XDB-Dokuments", "Fehlerzeilen des XDB-Dokuments");
    const bool anyFailure = !summary.isEmpty() || r.outcome != RunOutcome::Completed;
    QString result = summary.isEmpty() ? QStringLiteral("ohne Fehler") : summary.join(QStringLiteral(", "));
    if (r.outcome == RunOutcome::EndedEarly)
        result += QStringLiteral("; vorzeitig beendet");
    else if (r.outcome == RunOutcome::Failed)
        result += QStringLiteral("; durch einen Fehler beendet");

    QString out;
    out += QStringLiteral("<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>");
    out += esc(QStringLiteral("SQL-Tabrix – Bericht vom ") + when(r.ended));
    out +=
        QStringLiteral("</title>\n<style>") + QString::fromUtf8(kStyle) + QStringLiteral("</style>\n</head>\n<body>\n");
    out += QStringLiteral("<h1>SQL-Tabrix: ") + esc(r.action) + QStringLiteral("</h1>\n<table class=\"fakten\">\n");
    const auto fact = [&out](const char* name, const QString& htmlValue, const QString& cls = QString()) {
        out += QStringLiteral("<tr><th>") + QString::fromUtf8(name) + QStringLiteral("</th><td")
            + (cls.isEmpty() ? QString() : QStringLiteral(" class=\"") + cls + QLatin1Char('"')) + QLatin1Char('>')
            + htmlValue + QStringLiteral("</td></tr>\n");
    };
    fact("Beginn", when(r.started));
    fact("Ende", when(r.ended));
    fact("Dauer", duration(r.started, r.ended));
    fact("Datenquelle", orDash(r.dataSource));
    fact("Dialekt", esc(DialectRecord(r.dialect).caption.toString()));
    fact("Access-Datei", orDash(r.accessFile));
    fact("XDB-Dokument", orDash(r.xdbDocument));
    fact("Datenprüfung", r.dataChecked ? QStringLiteral("eingeschaltet") : QStringLiteral("ausgeschaltet"));
    fact("Ergebnis", esc(result), anyFailure ? QStringLiteral("fehler") : QStringLiteral("ok"));
    out += QStringLiteral("</table>\n");
    for (const QString& note : r.notes)
        out += QStringLiteral("<p class=\"hinweis\">") + esc(note) + QStringLiteral("</p>\n");

    if (!failedTables.isEmpty() || !failedViews.isEmpty() || !failedTriggers.isEmpty() || !r.xdbErrors.isEmpty()) {
        out += QStringLiteral("<section class=\"fehler\">\n<h2>Fehler und Abweichungen</h2>\n");
        tablesSection(out, failedTables);
        viewsSection(out, failedViews);
        triggersSection(out, failedTriggers);
        if (!r.xdbErrors.isEmpty()) {
            out += QStringLiteral("<h3>XDB-Dokument</h3>\n<pre class=\"xdb\">");
            out += esc(r.xdbErrors.join(QLatin1Char('\n'))) + QStringLiteral("</pre>\n");
        }
        out += QStringLiteral("</section>\n");
    }
    const QList<const TableOutcome*> goodTables = select(r.tables, false);
    const QList<const NamedViewResult*> goodViews =
        r.views ? select(r.views->views, false) : QList<const NamedViewResult*>();
    const QList<const TriggerResult*> goodTriggers =
        r.triggers ? select(r.triggers->triggers, false) : QList<const TriggerResult*>();
    if (!goodTables.isEmpty() || !goodViews.isEmpty() || !goodTriggers.isEmpty()) {
        out += QStringLiteral("<section class=\"ok\">\n<h2>Ohne Fehler</h2>\n");
        tablesSection(out, goodTables);
        viewsSection(out, goodViews);
        triggersSection(out, goodTriggers);
        out += QStringLiteral("</section>\n");
    }
    if (r.xdbRan && r.xdbErrors.isEmpty())
        out += QStringLiteral("<p>Das XDB-Dokument wurde ohne Fehler angewandt.</p>\n");

    out += QStringLiteral("<footer>\n<p>Die Prüfung vergleicht je Tabelle die Zahl der Datensätze und je Feld die "
                          "nicht leeren Zellen, bei Zahlen Summe, kleinsten und größten Wert, bei Datumswerten den "
                          "kleinsten und größten Wert, bei Texten die Zahl der Zeichen. Nicht verglichen werden "
                          "Summen von Single- und Double-Feldern (ihre Rundung hängt von der Reihenfolge der "
                          "Additionen ab)");
    if (DialectRecord(r.dialect).textCharacters.isEmpty())
        out += QStringLiteral(" und die Zeichen von Texten (") + esc(DialectRecord(r.dialect).caption.toString())
            + QStringLiteral(" kürzt Leerzeichen am Ende)");
    out += QStringLiteral(".</p>\n<p>Erstellt von SQL-Tabrix %1.%2.%3.</p>\n</footer>\n</body>\n</html>\n")
               .arg(TABRIX_VERSION_MAJOR)
               .arg(TABRIX_VERSION_MINOR)
               .arg(TABRIX_VERSION_PATCH);
    return out;
}

// ---------------------------------------------------------------------------
// Where reports are kept

namespace {

// The folder and its missing parents, made for the owner only.
bool makeFolder(const QByteArray& path)
{
    if (::mkdir(path.constData(), 0700) == 0 || errno == EEXIST)
        return true;
    const qsizetype slash = path.lastIndexOf('/');
    if (errno != ENOENT || slash <= 0 || !makeFolder(path.left(slash)))
        return false;
    return ::mkdir(path.constData(), 0700) == 0 || errno == EEXIST;
}

// Writes the whole text into a new regular file (or over the one the user
// named); a FIFO or a device is refused without waiting.
QString writeInto(const QString& path, const QByteArray& bytes, bool fresh, bool* taken = nullptr)
{
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (fresh ? O_EXCL : O_TRUNC);
    const int fd = ::open(QFile::encodeName(path).constData(), flags, 0600);
    if (taken)
        *taken = fd < 0 && errno == EEXIST;
    if (fd < 0)
        return qt_error_string(errno);
    struct stat info {};
    QString error;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        error = QStringLiteral("keine gewöhnliche Datei");
    else if (::fchmod(fd, 0600) != 0)
        error = qt_error_string(errno);
    for (qsizetype done = 0; error.isEmpty() && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno != EINTR)
            error = qt_error_string(errno);
        done += std::max<ssize_t>(n, 0);
    }
    if (::close(fd) != 0 && error.isEmpty())
        error = qt_error_string(errno);
    return error;
}

bool namesFolder(const QString& target)
{
    return target.isEmpty() || target.endsWith(QLatin1Char('/')) || QFileInfo(target).isDir();
}

QString folderOf(const QString& target)
{
    return target.isEmpty() ? ReportFolder() : target;
}

}  // namespace

QString ReportFolder()
{
    QString folder = qEnvironmentVariable("XDG_STATE_HOME");
    // The XDG base directory rules count a relative path as not set.
    if (folder.isEmpty() || QDir::isRelativePath(folder))
        folder = QDir::homePath() + QStringLiteral("/.local/state");
    return folder + QStringLiteral("/sql-tabrix/reports");
}

WrittenReport WriteRunReport(const RunReport& report, const QString& target)
{
    const QByteArray bytes = RunReportHtml(report).toUtf8();
    WrittenReport written;
    if (!namesFolder(target)) {
        written.error = writeInto(target, bytes, false);
        if (written.error.isEmpty())
            written.path = target;
        else
            written.error =
                QStringLiteral("Der Bericht %1 kann nicht geschrieben werden: %2").arg(target, written.error);
        return written;
    }
    const QString folder = QDir::cleanPath(folderOf(target));
    if (!makeFolder(QFile::encodeName(folder)) || !QFileInfo(folder).isDir()) {
        written.error = QStringLiteral("Der Ordner %1 für die Berichte kann nicht angelegt werden: %2")
                            .arg(folder, qt_error_string(errno));
        return written;
    }
    const QDateTime stamp = report.ended.isValid() ? report.ended : QDateTime::currentDateTime();
    const QString base = folder + QStringLiteral("/bericht-") + stamp.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    for (int n = 1; n < 1000; ++n) {
        const QString path =
            base + (n == 1 ? QString() : QLatin1Char('-') + QString::number(n)) + QStringLiteral(".html");
        bool taken = false;
        const QString error = writeInto(path, bytes, true, &taken);
        if (error.isEmpty()) {
            written.path = path;
            return written;
        }
        if (!taken) {
            written.error = QStringLiteral("Der Bericht %1 kann nicht geschrieben werden: %2").arg(path, error);
            return written;
        }
    }
    written.error = QStringLiteral("Im Ordner %1 ist kein Name für den Bericht mehr frei.").arg(folder);
    return written;
}

QString LatestReport(const QString& target)
{
    if (!namesFolder(target))
        return QFileInfo(target).isFile() ? target : QString();
    // By the time in the name, then by the number a report of the same second got.
    QStringList names = QDir(folderOf(target)).entryList({QStringLiteral("bericht-*.html")}, QDir::Files);
    const auto key = [](const QString& name) {
        const QString stem = name.mid(8, name.size() - 13);  // "bericht-" ... ".html"
        return std::make_pair(stem.left(17), stem.size() > 18 ? stem.mid(18).toInt() : 1);
    };
    std::sort(names.begin(), names.end(), [&key](const QString& a, const QString& b) { return key(a) > key(b); });
    return names.isEmpty() ? QString() : QDir(folderOf(target)).filePath(names.first());
}
