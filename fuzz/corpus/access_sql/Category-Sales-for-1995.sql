SELECT DISTINCTROW [Product Sales for 1995].CategoryName, Sum([Product Sales for 1995].ProductSales) AS CategorySales
FROM [Product Sales for 1995]
GROUP BY [Product Sales for 1995].CategoryName;