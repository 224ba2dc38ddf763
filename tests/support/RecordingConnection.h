#pragma once

// Stands in for a server of a dialect that cannot run here: records every
// statement it receives and raises scripted server errors.

#include "core/TabrixError.h"
#include "server/ServerConnection.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

class RecordingConnection : public ServerConnection {
public:
    // Every statement and query received, in order.
    QStringList statements;
    // Receives every statement too, and outlives the connection (which the
    // program releases when the connection is lost).
    std::shared_ptr<QStringList> journal;

    // A rule that fails matching statements: when `match` returns true for a
    // statement, a server error with `description` is raised (after recording).
    struct Failure {
        std::function<bool(const QString&)> match;
        QString description;
    };
    QList<Failure> failures;
    // Answers for queries: the first rule that matches gives the first column.
    struct Answer {
        std::function<bool(const QString&)> match;
        QVariant value;
    };
    QList<Answer> answers;
    // Tables the catalogue knows (found ignoring case, the exact spelling
    // first); every other lookup fails as a missing table.
    QList<ServerTable> catalogue;
    // Called after each statement executed (to stop a copy midway, for instance).
    std::function<void(const QString&)> afterExecute;
    // Every other lookup finds a table of that name with the columns Nr and Alt.
    bool anyTable = false;

    // Parameter arrays: each array executed is recorded as one entry, the
    // statement and its rows' values, "INSERT INTO t (a,b) VALUES (?,?) <-
    // (1,'x'),(2,NULL)" (see ArrayRowText); the failures above match that
    // entry and fail the whole array. Every row is stored unless a refusal
    // matches its text, e.g. "(2,NULL)".
    struct Refusal {
        std::function<bool(const QString&)> match;
        QString description;
    };
    QList<Refusal> refusals;
    void refuseRowWhenContains(const QString& part, const QString& description);
    // As MariaDB's bulk command: a refused row fails the whole array, which
    // raises the row's error and stores none of its rows. Off: as a driver
    // that executes row by row: the refused rows read Refused, the rest Stored.
    bool arraysFailWhole = true;
    // The most bytes of values per array (ParameterArray's maxPayload); 0: no limit.
    qsizetype arrayPayload = 0;
    // How long an array's execute lasts; the statements and queries that
    // arrived meanwhile (the connection is the array's alone).
    std::chrono::milliseconds arrayTime{0};
    std::atomic<bool> arrayOnItsWay{false};
    QStringList meanwhile;
    // A row's values as recorded: NULL, numbers as they are, decimals as
    // their digits, TIMESTAMP'yyyy-MM-dd hh:mm:ss', texts between apostrophes
    // (doubled inside, a NUL character as \0), bytes as 0x and hex digits.
    static QString ArrayRowText(const ParameterArray& rows, int row);
    std::unique_ptr<ServerArrayStatement> PrepareArray(const QString& sql, const QList<ParameterType>& columns,
                                                       int maxRows) override;

    void failWhenStartsWith(const QString& prefix, const QString& description);
    void failWhenContains(const QString& part, const QString& description);
    void answerWhenStartsWith(const QString& prefix, const QVariant& value);
    // What it received, without its catalogue lookups.
    QStringList withoutCatalogue() const;

    void Execute(const QString& statement, int options = rdExecDirect) override;
    std::unique_ptr<ServerResultSet> OpenResultset(const QString& query, int type, int lockType = rdConcurReadOnly,
                                                   int options = rdExecDirect) override;
    QString Name() const override { return QStringLiteral("QELSQL"); }
    QString Description() const override { return QStringLiteral("recording connection"); }
    qint64 maxStatementBytes = 0;
    qint64 MaxStatementBytes() const override { return maxStatementBytes; }
    QString dbmsName;
    QString DbmsName() const override { return dbmsName; }
    ServerTable CatalogueTable(const QString& name) override;

private:
    friend class RecordingArrayStatement;
    void maybeFail(const QString& statement) const;
};
