// Row-copy benchmark: the program's own copy loop, with rows sharing INSERTs
// ("Mehrere Zeilen je INSERT") and one INSERT per row, against plain ODBC
// loops sending the same rows, one per INSERT, 1,000 per INSERT and 1,000 per
// execute of a prepared INSERT with parameter arrays, and against the server
// copying the filled table into a fresh one itself (INSERT ... SELECT), on
// the test server.
//
//   eval "$(scripts/test-server start)"
//   build/bench/bench_copy [path/to/bench.mdb] [rounds]
//   build/bench/bench_copy program|program-unchecked|program-rows|plain|plain-multi|plain-array|server-copy|live
//   path/to/bench.mdb Konten (one run)
//
// Each measurement runs in a child process of its own (so that peak memory is
// that run's own), the seven kinds in turn, each round starting with the next
// kind; the median of the rounds is printed.
// Two pinnings are measured: client and server sharing CPU 0 (the program's
// own work then adds directly to every round trip: the harsh case), and the
// server on CPU 0 with the client on CPU 1 (as with a server of its own).

#include "access/AccessDatabase.h"
#include "conversion/CopyLoop.h"
#include "conversion/RowStatement.h"
#include "core/WorkstationShare.h"
#include "server/ExecuteSql.h"
#include "server/ServerConnection.h"
#include "shell/MDIForm_Main.h"
#include "sql/Literals.h"
#include "windows/Konvertierung.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sched.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/resource.h>
#include <vector>

namespace {

long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(status.readAll());
    const auto m = QRegularExpression(QStringLiteral("VmHWM:\\s+(\\d+)")).match(text);
    return m.hasMatch() ? m.captured(1).toLong() : -1;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// CPU time of this process so far (user + system), in seconds.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The test server's process id, from the pid file beside its ODBCINI; 0 when unknown.
pid_t serverPid()
{
    QFile pidFile(qEnvironmentVariable("ODBCINI").section(QLatin1Char('/'), 0, -2) + QStringLiteral("/mariadbd.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return 0;
    return pid_t(pidFile.readAll().trimmed().toLong());
}

// CPU time of every thread of the server so far, in seconds (the scheduler's
// nanosecond count of each thread); 0 when it cannot be read.
double serverCpuSeconds()
{
    const pid_t pid = serverPid();
    if (pid == 0)
        return 0;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    double seconds = 0;
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks + QLatin1Char('/') + task + QStringLiteral("/schedstat"));
        if (stat.open(QIODevice::ReadOnly))
            seconds += QString::fromLatin1(stat.readAll()).section(QLatin1Char(' '), 0, 0).toDouble() / 1e9;
    }
    return seconds;
}

void pinTo(int cpu)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    sched_setaffinity(0, sizeof set, &set);
}

QString password()
{
    return qEnvironmentVariable("TABRIX_TEST_PASSWORD");
}

// ---- plain ODBC ------------------------------------------------------------

struct Plain {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT stmt = SQL_NULL_HSTMT;

    Plain()
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
        SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC2), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
        const QString dsn = QStringLiteral("QELSQL"), user = QStringLiteral("sa"), pw = password();
        if (!SQL_SUCCEEDED(SQLConnectW(dbc, (SQLWCHAR*)dsn.utf16(), SQL_NTS, (SQLWCHAR*)user.utf16(), SQL_NTS,
                                       (SQLWCHAR*)pw.utf16(), SQL_NTS))) {
            std::fprintf(stderr, "plain loop: cannot connect\n");
            std::exit(2);
        }
        SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    }
    ~Plain()
    {
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        SQLDisconnect(dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
    }
    bool exec(const QString& sql)
    {
        const SQLRETURN rc = SQLExecDirectW(stmt, (SQLWCHAR*)sql.utf16(), SQL_NTS);
        SQLFreeStmt(stmt, SQL_CLOSE);
        return SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
    }
};

// Wall, CPU and server CPU time from its start on.
struct Stopwatch {
    struct Reading {
        double seconds = 0;
        double cpu = 0;
        double server = 0;
        Reading operator-(const Reading& other) const
        {
            return {seconds - other.seconds, cpu - other.cpu, server - other.server};
        }
    };
    QElapsedTimer timer;
    double cpuStart = cpuSeconds();
    double serverStart = serverCpuSeconds();
    Stopwatch() { timer.start(); }
    Reading read() const
    {
        return {timer.nsecsElapsed() / 1e9, cpuSeconds() - cpuStart, serverCpuSeconds() - serverStart};
    }
};

// The line a child run prints for the orchestration.
void printResult(long rows, long failed, const Stopwatch::Reading& r)
{
    std::printf("rows=%ld failed=%ld seconds=%.3f cpu=%.3f server=%.3f peak_kb=%ld\n", rows, failed, r.seconds, r.cpu,
                r.server, peakKilobytes());
}

// Reads the table row by row and hands each row's statement to `send`, built
// and with its backslashes doubled as the copy does it, in one reused buffer.
template <typename Send>
void forEachStatement(const QString& mdb, const QString& table, const Send& send)
{
    auto db = dao::Database::OpenDatabase(mdb);
    auto rs = db->OpenRecordset(table);
    RowStatementBuilder builder(table, rs->Fields(), Dialect::MySQL, SpecialTimeFields{});
    const std::function<ConversionOptions()> options = [] {
        ConversionOptions o;
        o.dialect = Dialect::MySQL;
        return o;
    };
    QString statement;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        builder.InsertStatement(statement, *rs, options, {});
        DoubleBackslashes(statement);
        send(statement);
    }
}

// The statements the program sends for a table, built once, outside the timing.
std::vector<QString> statementsFor(const QString& mdb, const QString& table)
{
    std::vector<QString> result;
    forEachStatement(mdb, table, [&](const QString& statement) { result.push_back(statement); });
    return result;
}

// The same rows as INSERTs of 1,000 rows (fewer where the columns change),
// built once, outside the timing.
std::vector<QString> multiRowStatementsFor(const QString& mdb, const QString& table, long* rows)
{
    auto db = dao::Database::OpenDatabase(mdb);
    auto rs = db->OpenRecordset(table);
    RowStatementBuilder builder(table, rs->Fields(), Dialect::MySQL, SpecialTimeFields{});
    const std::function<ConversionOptions()> options = [] {
        ConversionOptions o;
        o.dialect = Dialect::MySQL;
        return o;
    };
    std::vector<QString> result;
    QString columns, values, statement;
    int inStatement = 0;
    const auto finish = [&] {
        if (inStatement == 0)
            return;
        DoubleBackslashes(statement);
        result.push_back(statement);
        inStatement = 0;
    };
    *rows = 0;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        if (!builder.RowValues(values, *rs, options, {}))
            continue;
        ++*rows;
        if (inStatement == 1000 || builder.Columns() != columns)
            finish();
        if (inStatement++ == 0) {
            columns = builder.Columns();
            statement = columns + values;
        } else {
            statement += QLatin1Char(',') + values;
        }
    }
    finish();
    return result;
}

// A cell as the parameter the row's INSERT statement means: Yes/No as 0 or
// 1, Currency as its exact decimal, a Single as the double its shortest text
// reads as, dates with their time of day; an empty cell as NULL.
ParameterValue parameterOf(const dao::CellValue& cell)
{
    switch (cell.kind) {
    case dao::CellValue::Null:
        return {};
    case dao::CellValue::Boolean:
    case dao::CellValue::Whole:
        return ParameterValue::Whole(cell.whole);
    case dao::CellValue::Money:
        return ParameterValue::Decimal(CellText(cell));
    case dao::CellValue::Single: {
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, float(cell.real)).ptr;
        double value = 0;
        std::from_chars(text, end, value);
        return ParameterValue::Double(value);
    }
    case dao::CellValue::Double:
        return ParameterValue::Double(cell.real);
    case dao::CellValue::DateTime: {
        const dao::DateParts& d = cell.date;
        return ParameterValue::Timestamp({qint16(d.year), quint16(d.month), quint16(d.day),
                                          quint16(d.timeValid ? d.hour : 0), quint16(d.timeValid ? d.minute : 0),
                                          quint16(d.timeValid ? d.second : 0), 0});
    }
    case dao::CellValue::Text:
        return ParameterValue::Text(cell.text);
    case dao::CellValue::Other:
        break;
    }
    if (cell.variant.typeId() == QMetaType::QByteArray)
        return ParameterValue::Binary(cell.variant.toByteArray());
    return ParameterValue::Text(CellText(cell));
}

// The test server's connection as the program opens it.
std::unique_ptr<ServerConnection> serverConnection()
{
    static auto environment = ServerEnvironment::Create(QStringLiteral("bench"), QStringLiteral("sa"), password());
    return environment->OpenConnection(QStringLiteral("QELSQL"));
}

// The plain loop itself; a function of its own so that a profiler can count it
// (valgrind --tool=callgrind --toggle-collect=sendAll).
__attribute__((noinline)) long sendAll(Plain& plain, const std::vector<QString>& statements)
{
    long failed = 0;
    for (const QString& s : statements)
        if (!plain.exec(s))
            ++failed;
    return failed;
}

int runPlain(const QString& mdb, const QString& table, bool multiRow)
{
    long rows = 0;
    const std::vector<QString> statements =
        multiRow ? multiRowStatementsFor(mdb, table, &rows) : statementsFor(mdb, table);
    if (!multiRow)
        rows = long(statements.size());
    Plain plain;
    plain.exec(QStringLiteral("TRUNCATE TABLE `") + table + QLatin1Char('`'));
    const Stopwatch stopwatch;
    const long failed = sendAll(plain, statements);
    printResult(rows, failed, stopwatch.read());
    return 0;
}

// The plain loop through parameter arrays; a function of its own for a profiler.
__attribute__((noinline)) long executeAll(ServerArrayStatement& statement, const std::vector<ParameterArray>& arrays)
{
    long failed = 0;
    for (const ParameterArray& array : arrays) {
        try {
            statement.Execute(array);
        } catch (const TabrixError&) {
            failed += array.Rows();
        }
    }
    return failed;
}

// The same rows through a prepared INSERT with parameter arrays of 1,000 rows
// (column-wise buffers), filled beforehand, outside the timing.
int runPlainArrays(const QString& mdb, const QString& table)
{
    std::unique_ptr<ServerConnection> connection = serverConnection();
    connection->Execute(QStringLiteral("TRUNCATE TABLE `") + table + QLatin1Char('`'));
    auto db = dao::Database::OpenDatabase(mdb);
    auto rs = db->OpenRecordset(table);
    QList<ParameterType> types;
    QStringList marks;
    for (const dao::Field& field : rs->Fields()) {
        types << ParameterTypeOf(field);
        marks << QStringLiteral("?");
    }
    const auto statement = connection->PrepareArray(
        QStringLiteral("INSERT INTO `%1` VALUES (%2)").arg(table, marks.join(QLatin1Char(','))), types, 1000);
    std::vector<ParameterArray> arrays{statement->NewArray()};
    QList<ParameterValue> row(types.size());
    dao::CellValue cell;
    long rows = 0;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext(), ++rows) {
        for (int i = 0; i < types.size(); ++i) {
            rs->ReadCell(i, cell);
            row[i] = parameterOf(cell);
        }
        if (!arrays.back().Append(row)) {
            arrays.push_back(statement->NewArray());
            arrays.back().Append(row);
        }
    }
    const Stopwatch stopwatch;
    const long failed = executeAll(*statement, arrays);
    printResult(rows, failed, stopwatch.read());
    return 0;
}

// The server copying the table, filled by the kind before, into a fresh one.
int runServerCopy(const QString& table)
{
    std::unique_ptr<ServerConnection> connection = serverConnection();
    const QString copy = QStringLiteral("`") + table + QStringLiteral("_copy`");
    connection->Execute(QStringLiteral("DROP TABLE IF EXISTS ") + copy);
    connection->Execute(QStringLiteral("CREATE TABLE ") + copy + QStringLiteral(" LIKE `") + table + QLatin1Char('`'));
    long failed = 0;
    const Stopwatch stopwatch;
    try {
        connection->Execute(QStringLiteral("INSERT INTO ") + copy + QStringLiteral(" SELECT * FROM `") + table
                            + QLatin1Char('`'));
    } catch (const TabrixError&) {
        failed = 1;
    }
    const Stopwatch::Reading reading = stopwatch.read();
    const long rows = connection->OpenResultset(QStringLiteral("SELECT COUNT(*) FROM ") + copy, rdOpenForwardOnly)
                          ->Value(0)
                          .toLongLong();
    connection->Execute(QStringLiteral("DROP TABLE ") + copy);
    printResult(rows, failed, reading);
    return 0;
}

// The plain loop with the program's reading and building inside the loop, but
// without the window (status line, progress, yields, error handler): it tells
// apart what reading the file costs, on the client and on a server sharing its CPU.
int runLive(const QString& mdb, const QString& table)
{
    Plain plain;
    plain.exec(QStringLiteral("TRUNCATE TABLE `") + table + QLatin1Char('`'));
    long rows = 0;
    long failed = 0;
    const Stopwatch stopwatch;
    forEachStatement(mdb, table, [&](const QString& statement) {
        if (!plain.exec(statement))
            ++failed;
        ++rows;
    });
    printResult(rows, failed, stopwatch.read());
    return 0;
}

// ---- the program -----------------------------------------------------------

int runProgram(const QString& mdb, const QString& table, bool multiRow, bool checked = true)
{
    MDIForm_Main main;
    main.Form_Load();
    main.Option_MySQL->click();
    main.Text_PW->setText(password());
    main.Command3->click();
    if (!main.Command1->isEnabled()) {
        std::fprintf(stderr, "program: login failed\n");
        return 2;
    }
    main.Command1->click();
    Konvertierung* k = main.konvertierung();
    k->QELPfad->setText(mdb);
    k->SourceDatabase = dao::Database::OpenDatabase(mdb);
    k->Text1->setText(table);
    k->Check_MehrereZeilen->setChecked(multiRow);
    k->Check_Pruefen->setChecked(checked);
    // The copy alone: a structure-only run (drop, create, indexes) is timed
    // first and taken off the full conversion's time.
    k->Check_NoData->setChecked(true);
    const Stopwatch structureRun;
    k->Command1_SIK();
    const Stopwatch::Reading structure = structureRun.read();
    k->Check_NoData->setChecked(false);
    const Stopwatch fullRun;
    k->Command1_SIK();
    const Stopwatch::Reading copy = fullRun.read() - structure;
    auto result = main.state.ServerConnection->OpenResultset(
        QStringLiteral("SELECT COUNT(*) FROM `") + table + QLatin1Char('`'), rdOpenForwardOnly);
    const long rows = result->Value(0).toLongLong();
    printResult(rows, k->TableFailed ? 1 : 0, copy);
    return 0;
}

// ---- orchestration ---------------------------------------------------------

struct Run {
    long rows = 0;
    long failed = 0;
    double seconds = 0;
    double cpu = 0;
    double server = 0;
    long peakKb = 0;
    double rate() const { return seconds > 0 ? rows / seconds : 0; }
    double cpuMicrosPerRow() const { return rows > 0 ? cpu * 1e6 / rows : 0; }
    double serverMicrosPerRow() const { return rows > 0 ? server * 1e6 / rows : 0; }
};

Run child(const QString& mode, const QString& mdb, const QString& table)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), {mode, mdb, table});
    p.waitForFinished(-1);
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    const auto m = QRegularExpression(
                       QStringLiteral("rows=(\\d+) failed=(\\d+) seconds=([0-9.]+) cpu=(-?[0-9.]+) server=(-?[0-9.]+) "
                                      "peak_kb=(-?\\d+)"))
                       .match(out);
    Run r;
    if (m.hasMatch()) {
        r.rows = m.captured(1).toLong();
        r.failed = m.captured(2).toLong();
        r.seconds = m.captured(3).toDouble();
        r.cpu = m.captured(4).toDouble();
        r.server = m.captured(5).toDouble();
        r.peakKb = m.captured(6).toLong();
    } else {
        std::fprintf(stderr, "%s %s: no result (%s)\n", qPrintable(mode), qPrintable(table), qPrintable(out));
    }
    return r;
}

// The kinds of run, in the order of their columns; the ratios take them by number.
struct Kind {
    const char* mode;
    const char* name;
};
constexpr Kind kinds[] = {
    {"program", "program, many rows per INSERT"},                // 0
    {"program-rows", "program, one row per INSERT"},             // 1
    {"plain", "plain loop, one row per INSERT"},                 // 2
    {"plain-multi", "plain loop, 1,000 rows per INSERT"},        // 3
    {"plain-array", "plain loop, arrays of 1,000 rows"},         // 4
    {"server-copy", "server's own INSERT ... SELECT"},           // 5
    {"program-unchecked", "program, many rows, no data check"},  // 6
};
constexpr int kindCount = int(std::size(kinds));

template <typename Value>
double medianOf(const std::vector<Run>& runs, const Value& value)
{
    std::vector<double> values;
    for (const Run& r : runs)
        values.push_back(value(r));
    return median(values);
}

int orchestrate(const QString& mdb, int rounds)
{
    if (const pid_t server = serverPid()) {
        // Every thread of the server.
        QProcess taskset;
        taskset.start(QStringLiteral("taskset"),
                      {QStringLiteral("-a"), QStringLiteral("-p"), QStringLiteral("-c"), QStringLiteral("0"),
                       QString::number(server)});
        taskset.waitForFinished();
    } else {
        std::printf("note: server pid not found, server not pinned\n");
    }
    {
        Plain probe;
        SQLExecDirectW(probe.stmt, (SQLWCHAR*)u"SELECT @@innodb_flush_log_at_trx_commit", SQL_NTS);
        SQLINTEGER flush = -1;
        SQLLEN ind = 0;
        if (SQL_SUCCEEDED(SQLFetch(probe.stmt)))
            SQLGetData(probe.stmt, 1, SQL_C_SLONG, &flush, 0, &ind);
        SQLFreeStmt(probe.stmt, SQL_CLOSE);
        std::printf("server: innodb_flush_log_at_trx_commit=%d, data source over TCP on 127.0.0.1; server pinned to "
                    "CPU 0\n",
                    int(flush));
    }
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) == 3)
        std::printf("load average at the start: %.2f %.2f %.2f\n", load[0], load[1], load[2]);

    QStringList markdown;
    for (const int clientCpu : {0, 1}) {
        pinTo(clientCpu);
        std::printf("\nclient on CPU %d (%s)\n", clientCpu,
                    clientCpu == 0 ? "sharing the server's CPU" : "server on a CPU of its own");
        for (const QString& table : {QStringLiteral("Konten"), QStringLiteral("Buchungen")}) {
            std::vector<Run> runs[kindCount];
            std::vector<double> sharedToPlainMulti, sharedToRows, rowsToPlain, sharedToServer, arraysToServer,
                arraysToPlainMulti, checkAdds;
            for (int round = 1; round <= rounds; ++round) {
                // Each round starts with the next kind: whatever the server still
                // does after a run (purging the dropped table, flushing) falls on all alike.
                Run r[kindCount];
                for (int i = 0; i < kindCount; ++i) {
                    const int k = (round - 1 + i) % kindCount;
                    r[k] = child(QString::fromLatin1(kinds[k].mode), mdb, table);
                    runs[k].push_back(r[k]);
                }
                const auto ratio = [](const Run& a, const Run& b) { return b.rate() > 0 ? a.rate() / b.rate() : 0.0; };
                sharedToPlainMulti.push_back(ratio(r[0], r[3]));
                sharedToRows.push_back(ratio(r[0], r[1]));
                rowsToPlain.push_back(ratio(r[1], r[2]));
                sharedToServer.push_back(ratio(r[0], r[5]));
                arraysToServer.push_back(ratio(r[4], r[5]));
                arraysToPlainMulti.push_back(ratio(r[4], r[3]));
                // The time the data check adds to the copy, as a share of the copy.
                checkAdds.push_back(ratio(r[6], r[0]) - 1);
                std::printf("%-10s round %d:", qPrintable(table), round);
                for (int k = 0; k < kindCount; ++k)
                    std::printf(" %s %.0f rows/s (%.1f/%.1f us CPU/row)%s", kinds[k].mode, r[k].rate(),
                                r[k].cpuMicrosPerRow(), r[k].serverMicrosPerRow(), r[k].failed ? " FAILED" : "");
                std::printf("; ratios %.3f %.2f %.3f %.3f %.3f %.3f %.3f\n", sharedToPlainMulti.back(),
                            sharedToRows.back(), rowsToPlain.back(), sharedToServer.back(), arraysToServer.back(),
                            arraysToPlainMulti.back(), checkAdds.back());
            }
            std::printf("%-10s median of %d rounds (%ld rows):\n", qPrintable(table), rounds, runs[0].front().rows);
            for (int k = 0; k < kindCount; ++k) {
                long peak = 0;
                for (const Run& run : runs[k])
                    peak = std::max(peak, run.peakKb);
                std::printf("  %-34s %8.0f rows/s  client CPU %5.1f us/row  server CPU %5.1f us/row  peak %ld MB\n",
                            kinds[k].name, medianOf(runs[k], [](const Run& x) { return x.rate(); }),
                            medianOf(runs[k], [](const Run& x) { return x.cpuMicrosPerRow(); }),
                            medianOf(runs[k], [](const Run& x) { return x.serverMicrosPerRow(); }), peak / 1024);
            }
            std::printf("  ratios: many rows / plain 1,000 rows %.3f, many rows / one row %.2f, one row / plain one "
                        "row %.3f, many rows / server copy %.3f, plain arrays / server copy %.3f, plain arrays / "
                        "plain 1,000 rows %.3f, the data check adds %.1f %%\n",
                        median(sharedToPlainMulti), median(sharedToRows), median(rowsToPlain), median(sharedToServer),
                        median(arraysToServer), median(arraysToPlainMulti), 100 * median(checkAdds));
            // The same as a row of the table in docs/performance.md.
            const auto each = [&](const char* format, double (*value)(const Run&)) {
                QStringList cells;
                for (int k = 0; k < kindCount; ++k)
                    cells << QString::asprintf(format, medianOf(runs[k], value));
                return cells.join(QStringLiteral(" / "));
            };
            long peak[2] = {0, 0};
            for (int k = 0; k < 2; ++k)
                for (const Run& run : runs[k])
                    peak[k] = std::max(peak[k], run.peakKb / 1024);
            markdown << QStringLiteral("| %1 | %2 (%3) | %4 | %5 / %6 / %7 / %8 | %9 / %10 | %11 µs | %12 µs | "
                                       "%13 / %14 MB |")
                            .arg(clientCpu == 0 ? QStringLiteral("client and server on CPU 0")
                                                : QStringLiteral("server CPU 0, client CPU 1"),
                                 table, QLocale(QLocale::English).toString(qlonglong(runs[0].front().rows)),
                                 each("%.0f", [](const Run& x) { return x.rate(); }))
                            .arg(median(sharedToPlainMulti), 0, 'f', 2)
                            .arg(median(sharedToRows), 0, 'f', 1)
                            .arg(median(rowsToPlain), 0, 'f', 2)
                            .arg(median(sharedToServer), 0, 'f', 2)
                            .arg(median(arraysToServer), 0, 'f', 2)
                            .arg(median(arraysToPlainMulti), 0, 'f', 2)
                            .arg(each("%.1f", [](const Run& x) { return x.cpuMicrosPerRow(); }),
                                 each("%.1f", [](const Run& x) { return x.serverMicrosPerRow(); }))
                            .arg(peak[0])
                            .arg(peak[1]);
        }
    }
    std::printf("\nmedians as rows of docs/performance.md (rows/s and CPU per row: program with the option / "
                "without / plain one row / plain 1,000 rows / plain arrays / server copy; ratios with/plain 1,000, "
                "with/without, without/plain one row, with/server copy; arrays/server copy, arrays/plain 1,000; "
                "peak memory with / without):\n%s\n",
                qPrintable(markdown.join(QLatin1Char('\n'))));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (qEnvironmentVariableIsEmpty("ODBCINI") || password().isEmpty()) {
        std::fprintf(stderr, "start the test server first: eval \"$(scripts/test-server start)\"\n");
        return 2;
    }
    if (args.size() == 3 && args[0] == QStringLiteral("program"))
        return runProgram(args[1], args[2], true);
    if (args.size() == 3 && args[0] == QStringLiteral("program-unchecked"))
        return runProgram(args[1], args[2], true, false);
    if (args.size() == 3 && args[0] == QStringLiteral("program-rows"))
        return runProgram(args[1], args[2], false);
    if (args.size() == 3 && args[0] == QStringLiteral("plain-multi"))
        return runPlain(args[1], args[2], true);
    if (args.size() == 3 && args[0] == QStringLiteral("live"))
        return runLive(args[1], args[2]);
    if (args.size() == 3 && args[0] == QStringLiteral("plain"))
        return runPlain(args[1], args[2], false);
    if (args.size() == 3 && args[0] == QStringLiteral("plain-array"))
        return runPlainArrays(args[1], args[2]);
    if (args.size() == 3 && args[0] == QStringLiteral("server-copy"))
        return runServerCopy(args[2]);
    const QString mdb = args.value(0, QStringLiteral(TABRIX_SOURCE_DIR "/../shared/fixtures/bench.mdb"));
    const int rounds = args.value(1, QStringLiteral("2")).toInt();
    return orchestrate(mdb, rounds > 0 ? rounds : 2);
}
