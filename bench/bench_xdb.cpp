// XDB benchmark: applies a generated document with 2,000 column lines to the
// test server through the XDB window (MySQL dialect, offscreen) and prints
// lines per second and the share of the time spent outside the server calls.
//
//   eval "$(scripts/test-server start)"
//   build/bench/bench_xdb [rounds]
//
// Each round recreates the tables and runs the document twice: first every
// column is added (2,000 ALTER TABLE statements, each followed by a catalogue
// read of its table), then every column exists and only the tables are
// looked up. Server calls are timed by a connection that wraps the program's
// own; everything else (reading and parsing the document, the status list,
// the progress display, yielding to the user interface) counts as outside.

#include "server/ServerConnection.h"
#include "shell/MDIForm_Main.h"
#include "windows/Abgleichen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kTables = 20;
constexpr int kColumnsPerTable = 100;  // InnoDB allows 1,017 columns; rows stay small

QString password()
{
    return qEnvironmentVariable("TABRIX_TEST_PASSWORD");
}

// The program's connection, with the time spent inside it added up.
class TimedConnection : public ServerConnection {
public:
    explicit TimedConnection(std::unique_ptr<ServerConnection> inner) : m_inner(std::move(inner)) {}

    qint64 nanoseconds = 0;
    long calls = 0;
    qint64 catalogueNanoseconds = 0;

    void Execute(const QString& statement, int options) override
    {
        Clock c(*this);
        m_inner->Execute(statement, options);
    }
    std::unique_ptr<ServerResultSet> OpenResultset(const QString& query, int type, int lockType, int options) override
    {
        Clock c(*this);
        return m_inner->OpenResultset(query, type, lockType, options);
    }
    QString Name() const override { return m_inner->Name(); }
    QString Description() const override { return m_inner->Description(); }
    ServerTable CatalogueTable(const QString& name) override
    {
        QElapsedTimer timer;
        timer.start();
        Clock c(*this);
        ServerTable table = m_inner->CatalogueTable(name);
        catalogueNanoseconds += timer.nsecsElapsed();
        return table;
    }

private:
    struct Clock {
        explicit Clock(TimedConnection& owner) : m_owner(owner) { m_timer.start(); }
        ~Clock()
        {
            m_owner.nanoseconds += m_timer.nsecsElapsed();
            ++m_owner.calls;
        }
        TimedConnection& m_owner;
        QElapsedTimer m_timer;
    };
    std::unique_ptr<ServerConnection> m_inner;
};

QString tableName(int t)
{
    return QStringLiteral("BenchXdb%1").arg(t, 2, 10, QLatin1Char('0'));
}

// The fixed columns of a "[felder]" block as the ERP's writer pads them.
QString fieldLine(const QString& name, int type, int size)
{
    return QStringLiteral("feld").leftJustified(22) + QLatin1Char(':') + name.leftJustified(52)
        + QString::number(type).rightJustified(3) + QLatin1Char(' ') + QString::number(size).rightJustified(3);
}

QByteArray document()
{
    static const int types[][2] = {{4, 0}, {3, 0}, {10, 20}, {7, 0}, {8, 0}};
    QStringList lines;
    for (int t = 0; t < kTables; ++t) {
        lines << QStringLiteral("[felder]")
              << QStringLiteral("tabelle").leftJustified(22) + QLatin1Char(':') + tableName(t);
        for (int c = 0; c < kColumnsPerTable; ++c) {
            const auto& type = types[c % 5];
            lines << fieldLine(QStringLiteral("Spalte%1").arg(c, 3, 10, QLatin1Char('0')), type[0], type[1]);
        }
    }
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
}

struct Measured {
    double seconds = 0;
    double serverSeconds = 0;
    double catalogueSeconds = 0;
    long serverCalls = 0;
    int listLines = 0;
};

Measured apply(Abgleichen& xdb, TimedConnection& server)
{
    server.nanoseconds = 0;
    server.catalogueNanoseconds = 0;
    server.calls = 0;
    QElapsedTimer timer;
    timer.start();
    xdb.c8c();
    Measured m;
    m.seconds = timer.nsecsElapsed() / 1e9;
    m.serverSeconds = server.nanoseconds / 1e9;
    m.catalogueSeconds = server.catalogueNanoseconds / 1e9;
    m.serverCalls = server.calls;
    m.listLines = xdb.List1->count();
    return m;
}

void print(const char* what, const Measured& m, int lines)
{
    std::printf("%-22s %6.2f s  %7.0f lines/s  %6.0f column lines/s  server %6.2f s in %5ld calls (catalogue "
                "%5.2f s)  outside %5.1f %% = %.3f s  (%d list lines)\n",
                what, m.seconds, lines / m.seconds, (kTables * kColumnsPerTable) / m.seconds, m.serverSeconds,
                m.serverCalls, m.catalogueSeconds, 100.0 * (m.seconds - m.serverSeconds) / m.seconds,
                m.seconds - m.serverSeconds, m.listLines);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("ODBCINI") || password().isEmpty()) {
        std::fprintf(stderr, "start the test server first: eval \"$(scripts/test-server start)\"\n");
        return 2;
    }
    const int rounds = qMax(1, QCoreApplication::arguments().value(1, QStringLiteral("3")).toInt());

    MDIForm_Main main;
    main.Form_Load();
    main.Option_MySQL->click();
    main.Text_PW->setText(password());
    main.Command3->click();
    if (!main.Command2->isEnabled()) {
        std::fprintf(stderr, "login failed\n");
        return 2;
    }
    // Unattended: no final message box to answer.
    main.state.AutoMode = true;
    auto timed = std::make_unique<TimedConnection>(std::move(main.state.ServerConnection));
    TimedConnection* server = timed.get();
    main.state.ServerConnection = std::move(timed);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BENCH.XDB"));
    const QByteArray bytes = document();
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 2;
        }
        f.write(bytes);
    }
    const int lines = int(bytes.count('\n'));

    main.Command2->click();
    Abgleichen* xdb = main.abgleichen();
    xdb->Text_XDB->setText(path);

    auto flush = server->OpenResultset(QStringLiteral("SELECT @@innodb_flush_log_at_trx_commit"), rdOpenForwardOnly,
                                       rdConcurReadOnly, rdExecDirect);
    std::printf("document: %d lines, %d column lines in %d tables, %lld bytes; innodb_flush_log_at_trx_commit=%s; "
                "unpinned\n",
                lines, kTables * kColumnsPerTable, kTables, static_cast<long long>(bytes.size()),
                qPrintable(flush->Value(0).toString()));

    for (int round = 1; round <= rounds; ++round) {
        for (int t = 0; t < kTables; ++t) {
            server->Execute(QStringLiteral("DROP TABLE IF EXISTS ") + tableName(t), rdExecDirect);
            server->Execute(QStringLiteral("CREATE TABLE ") + tableName(t)
                                + QStringLiteral(" (Nr INT NOT NULL PRIMARY KEY)"),
                            rdExecDirect);
        }
        main.state.RunFailed = false;
        const Measured adding = apply(*xdb, *server);
        const bool addFailed = main.state.RunFailed;
        const Measured skipping = apply(*xdb, *server);
        std::printf("round %d\n", round);
        print("  adding every column", adding, lines);
        print("  every column exists", skipping, lines);
        if (addFailed || main.state.RunFailed)
            std::printf("  (the run reported errors: see the status list)\n");
    }
    for (int t = 0; t < kTables; ++t)
        server->Execute(QStringLiteral("DROP TABLE IF EXISTS ") + tableName(t), rdExecDirect);
    return 0;
}
