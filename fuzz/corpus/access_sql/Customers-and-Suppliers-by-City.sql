SELECT City, CompanyName, ContactName, "Customers" AS [Relationship] 
FROM Customers
UNION SELECT City, CompanyName, ContactName, "Suppliers"
FROM Suppliers
ORDER BY City, CompanyName;