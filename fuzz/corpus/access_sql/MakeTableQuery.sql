SELECT Max(Table2.col1) AS MaxOfcol1, Table2.col2, Table3.col2 INTO Table4
FROM (Table2 INNER JOIN Table1 ON Table2.col1 = Table1.col2) RIGHT JOIN Table3 ON Table1.col2 = Table3.col3
GROUP BY Table2.col2, Table3.col2
HAVING (((Max(Table2.col1))="buzz") AND ((Table2.col2)<>"blah"));