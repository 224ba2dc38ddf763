#include "shell/CommandLine.h"

#include "core/TextPieces.h"

namespace {

const QString kSeparator = QStringLiteral(" -");
const QChar kQuote = u'"';

std::optional<Dialect> dialectFromName(const QString& name)
{
    for (Dialect d : AllDialects()) {
        if (name.compare(dialectName(d), Qt::CaseInsensitive) == 0)
            return d;
    }
    return std::nullopt;
}

}  // namespace

CommandLineValues ParseCommandLine(const QString& commandLine)
{
    CommandLineValues values;
    if (commandLine.isEmpty())
        return values;

    QStringList pieces = commandLine.split(kSeparator, Qt::KeepEmptyParts, Qt::CaseSensitive);

    values.autoMode = commandLine.contains(QStringLiteral(" -auto"), Qt::CaseSensitive);
    values.noErrorMode = commandLine.contains(QStringLiteral("-noerror"), Qt::CaseSensitive);

    for (qsizetype i = 0; i < pieces.size(); ++i) {
        // A quoted value that held one " -" was cut in two by the split: glue
        // the halves back. The second half is still looked at on its own turn.
        if (pieces[i].contains(QStringLiteral(":\"")) && !pieces[i].endsWith(kQuote) && i + 1 < pieces.size()
            && pieces[i + 1].endsWith(kQuote) && !pieces[i + 1].startsWith(kQuote))
            pieces[i] = pieces[i] + kSeparator + pieces[i + 1];

        const QString& piece = pieces[i];
        const qsizetype colon = piece.indexOf(u':');
        QString key = colon >= 0 ? piece.left(colon + 1) : QString();
        if (!key.startsWith(u'-'))
            key.prepend(u'-');
        const QString value = colon >= 0 ? piece.mid(colon + 1) : QString();

        if (key == QLatin1String("-ODBC:")) {
            values.hasOdbc = true;
            values.cmdOdbcName = value;
            values.odbcBoxText = TrimBlanks(StripQuotes(value));
        } else if (key == QLatin1String("-user:")) {
            values.hasUser = true;
            values.cmdUser = value;
            values.userBoxText = TrimBlanks(StripQuotes(value));
        } else if (key == QLatin1String("-pass:")) {
            // Blanks may belong to a password: not trimmed.
            values.hasPass = true;
            values.cmdPassword = value;
            values.passwordBoxText = StripQuotes(value);
        } else if (key == QLatin1String("-MDBpfad:")) {
            values.hasMdb = true;
            values.mdbPath = TrimBlanks(StripQuotes(value));
        } else if (key == QLatin1String("-XDBpfad:")) {
            values.hasXdb = true;
            values.xdbPath = TrimBlanks(StripQuotes(value));
        } else if (key == QLatin1String("-Bericht:")) {
            values.hasReport = true;
            values.reportPath = TrimBlanks(StripQuotes(value));
        } else if (key == QLatin1String("-Dialekt:")) {
            values.dialect = dialectFromName(TrimBlanks(StripQuotes(value))).value_or(AllDialects().first());
        } else if (colon < 0) {
            // A switch without value is the whole piece; piece 0 kept its hyphen.
            QString name = TrimBlanks(piece);
            if (!name.startsWith(u'-'))
                name.prepend(u'-');
            if (name == QLatin1String("-Linux"))
                values.linuxSwitch = true;
            if (name == QLatin1String("-Einzeln"))
                values.singleRowInserts = true;
            if (name == QLatin1String("-OhnePruefung"))
                values.noDataCheck = true;
        }
    }
    return values;
}

QString RebuildCommandLine(const QStringList& arguments)
{
    QStringList parts;
    parts.reserve(arguments.size());
    for (const QString& argument : arguments) {
        const qsizetype colon = argument.indexOf(u':');
        if (argument.startsWith(u'-') && colon > 1) {
            const QString value = argument.mid(colon + 1);
            if (value.contains(u' ') && !IsQuoted(value)) {
                parts << argument.left(colon + 1) + kQuote + value + kQuote;
                continue;
            }
        }
        parts << argument;
    }
    return parts.join(u' ');
}

QString AnswerWithoutWindow(const QStringList& arguments)
{
    const QString version = QStringLiteral("SQL-Tabrix %1.%2.%3\n")
                                .arg(TABRIX_VERSION_MAJOR)
                                .arg(TABRIX_VERSION_MINOR)
                                .arg(TABRIX_VERSION_PATCH);
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h")))
        return version + QStringLiteral(R"help(
Aufruf: sql-tabrix [Schalter ...]

Überträgt die ERP-Datenbank aus einer Access-Datei (.MDB) über eine
ODBC-Datenquelle auf einen SQL-Server.

Schalter (Groß- und Kleinschreibung zählt; ein Wert mit Leerzeichen steht in
Anführungszeichen: -MDBpfad:"/data/ERP -alt/qel.mdb"):
  -ODBC:name      Datenquelle für das Anmeldefeld
  -user:name      Benutzer für das Anmeldefeld
  -pass:kennwort  Kennwort für das Anmeldefeld (Leerzeichen bleiben in
                  Anführungszeichen erhalten)
  -MDBpfad:pfad   Access-Datenbank, die das Konvertierungsfenster öffnet
  -XDBpfad:pfad   XDB-Dokument, das das XDB-Fenster öffnet
  -Dialekt:name   wählt den Dialekt wie sein Knopf: MSSQL, MySQL, Oracle, Sybase
                  oder DB2, in beliebiger Schreibweise; ohne oder mit
                  unbekanntem Namen bleibt Microsoft SQL
  -Linux          kreuzt "Linux" an (Sybase-Server unter Linux, mit
                  -Dialekt:Sybase)
  -Einzeln        nimmt "Mehrere Zeilen je INSERT" zurück: ein INSERT je Zeile,
                  auch auf MySQL
  -OhnePruefung   nimmt "Daten prüfen" zurück: die übertragenen Daten werden
                  nicht mit dem Server verglichen
  -Bericht:pfad   schreibt die Berichte in diese Datei (oder in diesen Ordner)
                  statt nach $XDG_STATE_HOME/sql-tabrix/reports
  -auto           unbeaufsichtigter Lauf (muss einem anderen Schalter folgen)
  -noerror        unterdrückt die Markierungsmeldung; die Titelzeile zeigt
                  "(no error)"
  -h, --help      diese Hilfe
  --version       die Version

Exit-Codes des unbeaufsichtigten Laufs (-auto):
  0  die Kette ist gelungen: jede markierte Tabelle konvertiert, das
     XDB-Dokument mit jeder Sicht, die es nennt, angewandt, das Plug-in
     gestartet
  1  ein Schritt ist gescheitert (Anmeldung, Access-Datei, XDB-Dokument, eine
     verlorene Serververbindung): seine Meldung, dann "Bei der
     SQL-Datenbankerweiterung ist ein Fehler aufgetreten!"; die Schritte danach
     entfallen
  2  die Kette lief bis zum Ende (XDB-Dokument angewandt, Plug-in gestartet),
     aber mindestens eine Tabelle endete "[!Fehler!]", die Prüfung ihrer Daten
     fand eine Abweichung, oder der Server wies eine Sicht des XDB-Dokuments ab

Jede Meldung, jede Zeile des Fehler-Protokolls und des XDB-Fensters, am Ende
die Tabellenliste und der Pfad des Berichts ("Bericht: pfad") gehen dabei
auch auf die Standardfehlerausgabe. Ohne Anzeige
(weder DISPLAY noch WAYLAND_DISPLAY gesetzt, keine Qt-Plattform gewählt) läuft
nur der unbeaufsichtigte Lauf; jeder andere Start endet dort mit Code 1.
)help");
    if (arguments.contains(QLatin1String("--version")))
        return version;
    return {};
}

QString NoDisplayMessage()
{
    return QStringLiteral("SQL-Tabrix: keine Anzeige gefunden (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt). Die "
                          "Fenster brauchen eine grafische Oberfläche; ohne sie läuft nur der unbeaufsichtigte Lauf "
                          "mit -auto (siehe sql-tabrix --help).\n");
}
