#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>

QString fixturesDir()
{
    const QString env = qEnvironmentVariable("TABRIX_FIXTURES");
    if (!env.isEmpty())
        return env;
#ifdef TABRIX_FIXTURES_DIR
    return QStringLiteral(TABRIX_FIXTURES_DIR);
#else
    return QStringLiteral("../shared/fixtures");
#endif
}

QString fixturePath(const QString& fileName)
{
    const QFileInfo info(QDir(fixturesDir()), fileName);
    return info.exists() ? info.absoluteFilePath() : QString();
}

bool TestServer::available()
{
    return !qEnvironmentVariableIsEmpty("ODBCINI") && !qEnvironmentVariableIsEmpty("TABRIX_TEST_PASSWORD");
}

QString TestServer::password()
{
    return qEnvironmentVariable("TABRIX_TEST_PASSWORD");
}
