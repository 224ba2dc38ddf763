// Help and version need no window, so no display; a start that needs one where there is none says so.

#include "TestSupport.h"
#include "shell/CommandLine.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(ProgramStart, HelpVersionAndNoDisplay)
{
    const QString help = AnswerWithoutWindow({QStringLiteral("--help")});
    const QString version = AnswerWithoutWindow({QStringLiteral("--version")});  // its text: scripts/check-package
    const struct {
        QStringList arguments;
        bool display;  // a Qt platform chosen; otherwise neither display nor platform
        int exitCode;
        QString output, error;
    } cases[] = {
        {{QStringLiteral("--help")}, false, 0, help, {}},
        {{QStringLiteral("-ODBC:QELSQL"), QStringLiteral("-h")}, true, 0, help, {}},
        {{QStringLiteral("--version")}, false, 0, version, {}},
        {{QStringLiteral("-ODBC:QELSQL"), QStringLiteral("-Dialekt:MySQL")}, false, 1, {}, NoDisplayMessage()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        if (c.display)
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(TABRIX_BINARY_DIR "/sql-tabrix"), c.arguments);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), c.exitCode);
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()), c.output);
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()), c.error);
    }
    // The help names every switch of the README's table and every exit code of the unattended run.
    QFile readme(QStringLiteral(TABRIX_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    auto rows = QRegularExpression(QStringLiteral("^\\| (?:`(-[A-Za-z]+:?)|([0-9]) \\| [a-z])"),
                                   QRegularExpression::MultilineOption)
                    .globalMatch(QString::fromUtf8(readme.readAll()));
    int named = 0;
    for (; rows.hasNext(); ++named) {
        const QRegularExpressionMatch row = rows.next();
        const QString entry = row.captured(1).isEmpty() ? row.captured(2) + QStringLiteral("  ") : row.captured(1);
        EXPECT_TRUE(help.contains(QStringLiteral("\n  ") + entry)) << entry.toStdString();
    }
    EXPECT_EQ(named, 15);
}
