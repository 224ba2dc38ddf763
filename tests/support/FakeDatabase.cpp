#include "FakeDatabase.h"

#include "core/TabrixError.h"

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

namespace {
struct Unreadable {
    QString why;
};
}  // namespace
Q_DECLARE_METATYPE(Unreadable)

QVariant UnreadableCell(const QString& why)
{
    return QVariant::fromValue(Unreadable{why});
}

QVariant FakeRecordset::Value(int i) const
{
    if (Eof())
        throw TabrixError(3021, QStringLiteral("Kein aktueller Datensatz."));
    const FakeRow& row = m_rows[m_position];
    const QVariant cell = i < row.size() ? row[i] : QVariant();
    if (cell.canConvert<Unreadable>() && cell.metaType() == QMetaType::fromType<Unreadable>())
        throw TabrixError(3049, cell.value<Unreadable>().why, QStringLiteral("DAO.Recordset"));
    return cell;
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
