Select Table1.col1, Table1.col2
where Table1.col1 = "foo"
UNION
Select Table2.col1, Table2.col2
UNION ALL Select Table3.col1, Table3.col2
where Table3.col3 > "blah";