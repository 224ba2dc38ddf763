#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The one error type of the program: a number, a description and a source,
// like the errors the operations raise and catch.
class TabrixError : public std::exception {
public:
    // Every error reported by the server connection carries this number; its
    // description begins with the ODBC state and a colon ("S0002:...").
    static constexpr long ServerErrorNumber = 40002;

    TabrixError(long number, QString description, QString source = QStringLiteral("SQL-Tabrix"));

    long number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }
    const QString& source() const noexcept { return m_source; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    long m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};
