#include "AccessTestSupport.h"

#include <QFile>

long residentMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

QVariantList currentRow(const dao::Recordset& rs)
{
    QVariantList row;
    const int n = int(rs.Fields().size());
    row.reserve(n);
    for (int i = 0; i < n; ++i)
        row.append(rs.Value(i));
    return row;
}

QList<QVariantList> readAllRows(const dao::Database& db, const QString& table)
{
    QList<QVariantList> rows;
    auto rs = db.OpenRecordset(table);
    while (!rs->Eof()) {
        rows.append(currentRow(*rs));
        rs->MoveNext();
    }
    rs->Close();
    return rows;
}

QString describe(const QVariant& value)
{
    if (!value.isValid())
        return QStringLiteral("NULL");
    if (value.userType() == qMetaTypeId<dao::Currency>())
        return QStringLiteral("Currency(%1)").arg(value.value<dao::Currency>().toString());
    switch (value.typeId()) {
    case QMetaType::Double:
        return QStringLiteral("double(%1)").arg(QString::number(value.toDouble(), 'g', 17));
    case QMetaType::Float:
        return QStringLiteral("float(%1)").arg(QString::number(value.toFloat(), 'g', 9));
    case QMetaType::QDateTime:
        return QStringLiteral("QDateTime(%1)").arg(value.toDateTime().toString(Qt::ISODate));
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return QStringLiteral("QByteArray(%1 bytes: %2%3)")
            .arg(bytes.size())
            .arg(QString::fromLatin1(bytes.left(16).toHex(' ')))
            .arg(bytes.size() > 16 ? QStringLiteral(" ...") : QString());
    }
    case QMetaType::QString: {
        const QString text = value.toString();
        return QStringLiteral("QString(%1 chars: \"%2%3\")")
            .arg(text.size())
            .arg(text.left(60))
            .arg(text.size() > 60 ? QStringLiteral("...") : QString());
    }
    default:
        return QStringLiteral("%1(%2)").arg(QString::fromLatin1(value.typeName()), value.toString());
    }
}

const dao::Field* findField(const dao::TableDef& table, const QString& name)
{
    for (const dao::Field& f : table.Fields) {
        if (f.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

const dao::Index* findIndex(const dao::TableDef& table, const QString& name)
{
    for (const dao::Index& i : table.Indexes) {
        if (i.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &i;
    }
    return nullptr;
}

const dao::Relation* findRelation(const dao::Database& db, const QString& name)
{
    for (const dao::Relation& r : db.Relations()) {
        if (r.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &r;
    }
    return nullptr;
}

QStringList userTableNames(const dao::Database& db)
{
    QStringList names;
    for (const dao::TableDef& t : db.TableDefs()) {
        if ((t.Attributes & dao::dbSystemObjectMask) == 0)
            names.append(t.Name);
    }
    return names;
}
