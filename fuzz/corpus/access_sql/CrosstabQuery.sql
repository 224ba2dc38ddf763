TRANSFORM Count([Table2].[col2]) AS CountOfcol2
SELECT Table2_1.col1, [Table2].[col3], Avg(Table2_1.col2) AS AvgOfcol2
FROM (Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1]) INNER JOIN Table2 AS Table2_1 ON [Table2].[col1]=Table2_1.col3
WHERE ((([Table1].[col1])>"10") And ((Table2_1.col1) Is Not Null) And ((Avg(Table2_1.col2))>"10"))
GROUP BY Table2_1.col1, [Table2].[col3]
ORDER BY [Table2].[col3]
PIVOT [Table1].[col1];