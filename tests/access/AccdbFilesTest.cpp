// Access 2007–2019 files (.accdb) of tests/data/accdb: every table reads all
// its rows (as many as mdb-count counts), every query's text can be given,
// complex and unknown columns keep their type codes, and the names messages
// give those types.

#include "AccessTestSupport.h"
#include "access/AccessDatabase.h"

#include <gtest/gtest.h>

using dao::Database;

namespace {

std::string str(const QString& s)
{
    return s.toStdString();
}

QString sample(const char* file)
{
    return QStringLiteral(TABRIX_SOURCE_DIR "/tests/data/accdb/") + QLatin1String(file);
}

}  // namespace

TEST(AccdbFiles, EveryTableReadsAllItsRowsAndEveryQueryItsText)
{
    // The tables besides Access's own MSys tables (which are read too), "name:rows" in DAO's order;
    // the counts are mdb-count's (calcFieldTestV2010's Table1 holds 4 rows where its definition says 3).
    const struct {
        const char* file;
        const char* tables;
    } cases[] = {
        {"complexDataTestV2010.accdb",
         "f_0BFE159C44334BFB968A820EA89C2D7E_VersionHistory_F5F8918F-0A3F-:5|"
         "f_3B07F994AD0A4B56A3A1E13B3A1D3B70_attach-data:3|f_63A2725FD5F0424B858BA73DA673639B_Data:1|"
         "f_FCC66D28D650455480D923D1BD446BA6_multi-value-data:6|Table1:4"},
        {"unsupportedFieldsTestV2007.accdb",
         "f_3A10F39A50E2459E86B84E69EA5F753E_UnknownComplex:3|f_56B2CC9E405C448A83A8F7273AE847EC_Data:1|Test:3"},
        {"queryTestV2010.accdb", "f_B380C6458F1A4EAD816FB369FB0797AB_Data:0|Table1:0|Table2:0|Table3:0"},
        {"calcFieldTestV2010.accdb", "f_BEB1C424567B4F848D2A3541BE7E10F4_Data:1|Table1:4"},
        {"extDateTestV2019.accdb", "f_8FA5340F56044616AE380F64A2FEC135_Data:1|Table1:9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto db = Database::OpenDatabase(sample(c.file));
        QStringList tables;
        for (const dao::TableDef& t : db->TableDefs()) {
            const auto rs = db->OpenRecordset(t.Name);
            long rows = 0;
            for (; !rs->Eof(); rs->MoveNext(), ++rows)
                currentRow(*rs);  // no cell raises
            EXPECT_TRUE(rs->TakeSkippedRows().isEmpty()) << str(t.Name);
            if (!t.Name.startsWith(QLatin1String("MSys")))
                tables.append(QStringLiteral("%1:%2").arg(t.Name).arg(rows));
        }
        EXPECT_EQ(str(tables.join(QLatin1Char('|'))), c.tables);
        for (const dao::QueryDef& q : db->QueryDefs())
            EXPECT_TRUE(q.SQLError.isEmpty() && !q.SQL.isEmpty()) << str(q.SQLError);
    }
}

TEST(AccdbFiles, ComplexAndUnknownColumnsKeepTheirCodesAndLongIndexNamesStayWhole)
{
    const struct {
        const char* file;
        const char* table;
        const char* fields;   // name:type code
        const char* indexes;  // name(fields)
    } cases[] = {
        {"complexDataTestV2010.accdb", "Table1",
         "id:10|VersionHistory_F5F8918F-0A3F-4DA9-AE71-184EE5012880:18|memo-data:12|append-memo-data:12|"
         "multi-value-data:18|attach-data:18",
         "attach-data_071D71EDD53D45A1A9089929F06857D9(attach-data)|"
         "multi-value-data_F4C67B0F60124C1989D5583C00CF76E2(multi-value-data)|PrimaryKey(id)|"
         "VersionHistory_F5F8918F-0A3F-4D_6E54CCBB170741DD8FD837271ED8B90C("
         "VersionHistory_F5F8918F-0A3F-4DA9-AE71-184EE5012880)"},
        {"unsupportedFieldsTestV2007.accdb", "Test", "ID:4|UnknownVar:70|UnknownFix:71|UnknownComplex:18",
         "PrimaryKey(ID)|UnknownComplex_6A5D9882BA33463D8EDAEFDF1FB96C3D(UnknownComplex)"},
        {"extDateTestV2019.accdb", "Table1", "ID:4|Field1:10|DateExt:20|DateNormal:8|DateExtStr:10|DateNormalCalc:8",
         "DateExtAsc(DateExt)|DateExtDesc(DateExt)|PrimaryKey(ID)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto db = Database::OpenDatabase(sample(c.file));
        const dao::TableDef& table = db->GetTableDef(QString::fromUtf8(c.table));
        QStringList fields;
        for (const dao::Field& f : table.Fields)
            fields.append(QStringLiteral("%1:%2").arg(f.Name).arg(f.Type));
        EXPECT_EQ(str(fields.join(QLatin1Char('|'))), c.fields);
        QStringList indexes;
        for (const dao::Index& index : table.Indexes)
            indexes.append(index.Name + QLatin1Char('(') + index.Fields.join(QLatin1Char(',')) + QLatin1Char(')'));
        EXPECT_EQ(str(indexes.join(QLatin1Char('|'))), c.indexes);
    }
}

TEST(AccdbFiles, TypeNamesForMessages)
{
    const std::pair<int, const char*> cases[] = {
        {dao::dbComplex, "Anlagen"},
        {dao::dbBigInt, "Große Zahlen"},
        {dao::dbDateTimeExtended, "Erweiterte Datums-/Uhrzeitwerte"},
        {70, "Werte eines unbekannten Typs"},
        {0, "Werte eines unbekannten Typs"},
        {dao::dbMemo, "Memo"},
        {dao::dbCurrency, "Währung"},
    };
    for (const auto& [code, name] : cases)
        EXPECT_EQ(str(dao::AccessTypeName(code)), name) << code;
}
