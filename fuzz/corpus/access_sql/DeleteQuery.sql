DELETE Table1.col1, Table1.col2, Table1.col3
FROM Table1
WHERE (((Table1.col1)>"blah"));