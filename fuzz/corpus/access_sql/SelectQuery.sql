SELECT DISTINCT Table1.*, Table2.col1, Table2.col2, Table3.col3
FROM (Table1 LEFT JOIN Table3 ON Table1.col1 = Table3.col1) INNER JOIN Table2 ON (Table3.col1 = Table2.col2) AND (Table3.col1 = Table2.col1)
WHERE (((Table2.col2)="foo" Or (Table2.col2) In ("buzz","bazz")))
ORDER BY Table2.col1;