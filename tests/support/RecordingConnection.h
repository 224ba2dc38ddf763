#pragma once

// Stands in for a server of a dialect that cannot run here: records every
// statement it receives and raises scripted server errors.

#include "core/TabrixError.h"
#include "server/ServerConnection.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

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
    void maybeFail(const QString& statement) const;
};
