INSERT INTO Table3 (col2, col2, col3)
SELECT [Table1].[col2], [Table2].[col2], [Table2].[col3]
FROM Table3, Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1];