#include "FakeDatabase.h"

#include "core/TabrixError.h"

#include <algorithm>

FakeRecordset::FakeRecordset(QList<dao::Field> fields, QList<FakeRow> rows)
    : m_fields(std::move(fields))
    , m_rows(std::move(rows))
{
}

long FakeRecordset::RecordCount() const
{
    if (m_countExact)
        return long(m_rows.size());
    return m_rows.isEmpty() ? 0 : 1;
}

void FakeRecordset::MoveLast()
{
    m_countExact = true;
    m_position = m_rows.isEmpty() ? 0 : m_rows.size() - 1;
}

QVariant FakeRecordset::Value(int i) const
{
    if (Eof())
        throw TabrixError(3021, QStringLiteral("Kein aktueller Datensatz."));
    const FakeRow& row = m_rows[m_position];
    return i < row.size() ? row[i] : QVariant();
}

dao::TableDef& FakeDatabase::addTable(const QString& name, QList<dao::Field> fields, QList<dao::Index> indexes)
{
    dao::TableDef def;
    def.Name = name;
    def.Fields = std::move(fields);
    def.Indexes = std::move(indexes);
    tables.append(def);
    return tables.last();
}

const dao::TableDef& FakeDatabase::GetTableDef(const QString& name) const
{
    for (const dao::TableDef& t : tables)
        if (t.Name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    throw TabrixError(3265, QStringLiteral("Element in dieser Auflistung nicht gefunden."));
}

const QList<dao::Relation>& FakeDatabase::Relations() const
{
    if (!relationsError.isEmpty())
        throw TabrixError(3049, relationsError, QStringLiteral("DAO.Database"));
    return relations;
}

std::unique_ptr<dao::Recordset> FakeDatabase::OpenRecordset(const QString& table) const
{
    return openFake(table);
}

std::unique_ptr<FakeRecordset> FakeDatabase::openFake(const QString& table) const
{
    const dao::TableDef& def = GetTableDef(table);
    return std::make_unique<FakeRecordset>(def.Fields, rows.value(def.Name));
}

namespace {
class FirstRows : public dao::Recordset {
public:
    FirstRows(std::unique_ptr<dao::Recordset> inner, long rows) : m_inner(std::move(inner)), m_rows(rows) {}
    long RecordCount() const override { return std::min(m_inner->RecordCount(), m_rows); }
    long StoredRecordCount() const override { return std::min(m_inner->StoredRecordCount(), m_rows); }
    bool Eof() const override { return m_position >= m_rows || m_inner->Eof(); }
    void MoveFirst() override { m_inner->MoveFirst(), m_position = 0; }
    void MoveNext() override { m_inner->MoveNext(), ++m_position; }
    void MoveLast() override { m_inner->MoveLast(); }
    void Close() override { m_inner->Close(); }
    const QList<dao::Field>& Fields() const override { return m_inner->Fields(); }
    QVariant Value(int i) const override { return m_inner->Value(i); }
    void ReadCell(int i, dao::CellValue& cell) const override { m_inner->ReadCell(i, cell); }

private:
    std::unique_ptr<dao::Recordset> m_inner;
    long m_rows;
    long m_position = 0;
};
}  // namespace

std::unique_ptr<dao::Recordset> FirstRowsOf::OpenRecordset(const QString& table) const
{
    return std::make_unique<FirstRows>(DatabaseWithQueries::OpenRecordset(table), m_rows);
}

dao::Field makeField(const QString& name, int type, int size, bool required, const QString& defaultValue)
{
    dao::Field f;
    f.Name = name;
    f.Type = type;
    f.Size = size;
    f.Required = required;
    f.DefaultValue = defaultValue;
    return f;
}

dao::Relation makeRelation(const QString& name, const QString& table, const QString& foreignTable, qint32 attributes,
                           const QList<dao::RelationField>& fields)
{
    dao::Relation r;
    r.Name = name;
    r.Table = table;
    r.ForeignTable = foreignTable;
    r.Attributes = attributes;
    r.Fields = fields;
    return r;
}
