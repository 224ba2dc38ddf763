// Row-copy benchmark: the program's own copy loop against a plain ODBC loop
// sending the same statements, on the test server.
//
//   eval "$(scripts/test-server start)"
//   build/bench/bench_copy [path/to/bench.mdb] [rounds]
//   build/bench/bench_copy program|plain|live path/to/bench.mdb Konten   (one run)
//
// Each measurement runs in a child process of its own (so that peak memory is
// that run's own), the two kinds in turn, each going first in every other
// round; the mean and the median of the rounds are printed.
// Two pinnings are measured: client and server sharing CPU 0 (the program's
// own work then adds directly to every round trip: the harsh case), and the
// server on CPU 0 with the client on CPU 1 (as with a server of its own).

#include "access/AccessDatabase.h"
#include "conversion/CopyLoop.h"
#include "conversion/RowStatement.h"
#include "core/WorkstationShare.h"
#include "server/ExecuteSql.h"
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
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
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

int runPlain(const QString& mdb, const QString& table)
{
    const std::vector<QString> statements = statementsFor(mdb, table);
    Plain plain;
    plain.exec(QStringLiteral("TRUNCATE TABLE `") + table + QLatin1Char('`'));
    const Stopwatch stopwatch;
    const long failed = sendAll(plain, statements);
    printResult(long(statements.size()), failed, stopwatch.read());
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

int runProgram(const QString& mdb, const QString& table)
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

    for (const int clientCpu : {0, 1}) {
        pinTo(clientCpu);
        std::printf("\nclient on CPU %d (%s)\n", clientCpu,
                    clientCpu == 0 ? "sharing the server's CPU" : "server on a CPU of its own");
        for (const QString& table : {QStringLiteral("Konten"), QStringLiteral("Buchungen")}) {
            double programSum = 0, plainSum = 0, programCpu = 0, plainCpu = 0, programServer = 0, plainServer = 0;
            std::vector<double> ratios, cpuDifferences;
            long peak = 0;
            for (int round = 1; round <= rounds; ++round) {
                // The two take turns in going first: whatever the server still does
                // after a run (purging the dropped table, flushing) falls on both alike.
                Run a, b;
                if (round % 2 == 1) {
                    a = child(QStringLiteral("program"), mdb, table);
                    b = child(QStringLiteral("plain"), mdb, table);
                } else {
                    b = child(QStringLiteral("plain"), mdb, table);
                    a = child(QStringLiteral("program"), mdb, table);
                }
                const double ratio = b.rate() > 0 ? a.rate() / b.rate() : 0.0;
                std::printf(
                    "%-10s round %d: program %8.0f rows/s (%ld rows, %.2f s, %.1f us CPU/row, server %.1f us/row, "
                    "peak %ld MB)  plain %8.0f rows/s (%ld rows, %.1f us CPU/row, server %.1f us/row)  ratio %.3f\n",
                    qPrintable(table), round, a.rate(), a.rows, a.seconds, a.cpuMicrosPerRow(), a.serverMicrosPerRow(),
                    a.peakKb / 1024, b.rate(), b.rows, b.cpuMicrosPerRow(), b.serverMicrosPerRow(), ratio);
                if (a.failed || b.failed)
                    std::printf("           (failed: program %ld, plain %ld)\n", a.failed, b.failed);
                programSum += a.rate();
                plainSum += b.rate();
                programCpu += a.cpuMicrosPerRow();
                plainCpu += b.cpuMicrosPerRow();
                programServer += a.serverMicrosPerRow();
                plainServer += b.serverMicrosPerRow();
                ratios.push_back(ratio);
                cpuDifferences.push_back(a.cpuMicrosPerRow() - b.cpuMicrosPerRow());
                peak = qMax(peak, a.peakKb);
            }
            std::printf("%-10s mean: program %.0f rows/s, plain %.0f rows/s, ratio %.3f; CPU per row: program %.1f us, "
                        "plain %.1f us, difference %.1f us; program peak memory %ld MB\n",
                        qPrintable(table), programSum / rounds, plainSum / rounds,
                        plainSum > 0 ? programSum / plainSum : 0.0, programCpu / rounds, plainCpu / rounds,
                        (programCpu - plainCpu) / rounds, peak / 1024);
            // A round disturbed by the shared machine moves the mean; the median of
            // the rounds does not follow one such round.
            std::printf("%-10s median of %d rounds: ratio %.3f, CPU difference %.1f us per row; server CPU per row "
                        "(mean): %.1f us for the program, %.1f us for the plain loop\n",
                        qPrintable(table), rounds, median(ratios), median(cpuDifferences), programServer / rounds,
                        plainServer / rounds);
        }
    }
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
        return runProgram(args[1], args[2]);
    if (args.size() == 3 && args[0] == QStringLiteral("live"))
        return runLive(args[1], args[2]);
    if (args.size() == 3 && args[0] == QStringLiteral("plain"))
        return runPlain(args[1], args[2]);
    const QString mdb = args.value(0, QStringLiteral(TABRIX_SOURCE_DIR "/../shared/fixtures/bench.mdb"));
    const int rounds = args.value(1, QStringLiteral("2")).toInt();
    return orchestrate(mdb, rounds > 0 ? rounds : 2);
}
