#pragma once

// An Access database held in memory: hand-built table definitions, relations
// and rows, for tests that must not depend on a real .mdb file.

#include "access/AccessDatabase.h"

#include <QHash>
#include <QList>
#include <QVariant>

#include <memory>

using FakeRow = QList<QVariant>;

// A cell the recordset cannot read (a damaged long value): reading it raises
// the engine's error with this text.
QVariant UnreadableCell(const QString& why);

class FakeRecordset : public dao::Recordset {
public:
    FakeRecordset(QList<dao::Field> fields, QList<FakeRow> rows);

    // Like the engine: 1 right after opening when there are rows, exact after MoveLast.
    long RecordCount() const override;
    bool Eof() const override { return m_position >= m_rows.size(); }
    void MoveFirst() override { m_position = 0; }
    void MoveNext() override { ++m_position; }
    void MoveLast() override;
    void Close() override { m_closed = true; }
    const QList<dao::Field>& Fields() const override { return m_fields; }
    QVariant Value(int i) const override;

    bool closed() const { return m_closed; }

private:
    QList<dao::Field> m_fields;
    QList<FakeRow> m_rows;
    qsizetype m_position = 0;
    bool m_countExact = false;
    bool m_closed = false;
};

class FakeDatabase : public dao::Database {
public:
    QList<dao::TableDef> tables;
    QList<dao::Relation> relations;
    QList<dao::QueryDef> queries;
    QHash<QString, QList<FakeRow>> rows;  // by table name as written in `tables`
    // When not empty, reading the relations raises an engine error with this text.
    QString relationsError;

    // Adds a user table and returns it for further building.
    dao::TableDef& addTable(const QString& name, QList<dao::Field> fields, QList<dao::Index> indexes = {});

    QString Name() const override { return QStringLiteral("fake.mdb"); }
    const QList<dao::TableDef>& TableDefs() const override { return tables; }
    const dao::TableDef& GetTableDef(const QString& name) const override;
    const QList<dao::Relation>& Relations() const override;
    const QList<dao::QueryDef>& QueryDefs() const override { return queries; }
    std::unique_ptr<dao::Recordset> OpenRecordset(const QString& table) const override;
    std::unique_ptr<FakeRecordset> openFake(const QString& table) const;
};

// A real Access database with saved queries the test gives, for views from
// files whose query texts the reader does not give.
class DatabaseWithQueries : public dao::Database {
public:
    DatabaseWithQueries(std::unique_ptr<dao::Database> inner, QList<dao::QueryDef> queries)
        : m_inner(std::move(inner))
        , m_queries(std::move(queries))
    {
    }
    QString Name() const override { return m_inner->Name(); }
    const QList<dao::TableDef>& TableDefs() const override { return m_inner->TableDefs(); }
    const dao::TableDef& GetTableDef(const QString& name) const override { return m_inner->GetTableDef(name); }
    const QList<dao::Relation>& Relations() const override { return m_inner->Relations(); }
    const QList<dao::QueryDef>& QueryDefs() const override { return m_queries; }
    std::unique_ptr<dao::Recordset> OpenRecordset(const QString& table) const override
    {
        return m_inner->OpenRecordset(table);
    }

private:
    std::unique_ptr<dao::Database> m_inner;
    QList<dao::QueryDef> m_queries;
};

// A relation from `table` (primary side) to `foreignTable` over field pairs
// {primary name, foreign name}.
dao::Relation makeRelation(const QString& name, const QString& table, const QString& foreignTable, qint32 attributes,
                           const QList<dao::RelationField>& fields);

// Field builders for terse test tables.
dao::Field makeField(const QString& name, int type, int size = 0, bool required = false,
                     const QString& defaultValue = {});
