SELECT tblName.Name_Code
FROM tblName;