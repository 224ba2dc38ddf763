#include "TestPlugin.h"

#include "plugin/modDatenbankErweiterung.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

QString InstallTestPlugin(const QString& programFolder, const QString& runFile, const QString& name, bool executable)
{
    QDir().mkpath(PluginFolder(programFolder));
    const QString path = PluginFolder(programFolder) + name;
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    const QByteArray out = runFile.toUtf8();
    // Written whole, then renamed: a reader never sees half a record.
    script.write("#!/bin/sh\n"
                 "{ printf '%s\\n' \"$0\"; pwd; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } > '"
                 + out
                 + ".part'\n"
                   "mv '"
                 + out + ".part' '" + out + "'\n");
    script.close();
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (executable)
        permissions |= QFileDevice::ExeOwner;
    script.setPermissions(permissions);
    return path;
}

QStringList WaitForPluginRun(const QString& runFile, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QFile file(runFile);
        if (file.open(QIODevice::ReadOnly))
            return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    return {};
}
