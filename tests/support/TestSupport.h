#pragma once

#include <QString>
#include <gtest/gtest.h>

// Folder of the sample Access databases: $TABRIX_FIXTURES or ../shared/fixtures.
QString fixturesDir();
// Path of one sample database; empty when the folder is absent.
QString fixturePath(const QString& fileName);

// Skips the current test with a clear message when the sample databases are absent.
#define REQUIRE_FIXTURE(var, file)                                                                                     \
    const QString var = fixturePath(QStringLiteral(file));                                                             \
    if (var.isEmpty())                                                                                                 \
    GTEST_SKIP() << "sample database " file " not found in " << fixturesDir().toStdString() << " (set TABRIX_FIXTURES)"

// The MariaDB test server's data source: set up by `scripts/test-server start`,
// which exports ODBCINI and TABRIX_TEST_PASSWORD.
struct TestServer {
    static bool available();
    static QString dataSource() { return QStringLiteral("QELSQL"); }
    // The same server; its driver runs several statements sent in one call.
    static QString multiStatementDataSource() { return QStringLiteral("QELSQLMULTI"); }
    static QString user() { return QStringLiteral("sa"); }
    static QString password();
};

// Skips without the server; fails instead where the test command promised one
// (TABRIX_REQUIRE_SERVER=1), so that a missing server cannot pass unnoticed.
#define REQUIRE_TEST_SERVER()                                                                                          \
    if (!TestServer::available()) {                                                                                    \
        if (qEnvironmentVariableIntValue("TABRIX_REQUIRE_SERVER") == 1)                                                \
            FAIL() << "MariaDB test server expected (TABRIX_REQUIRE_SERVER=1) but ODBCINI is not set";                 \
        GTEST_SKIP() << "MariaDB test server not running: start it with scripts/test-server start";                    \
    }
