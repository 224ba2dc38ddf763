#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

// Waits (from the event loop) for a modal window to appear and hands it to
// `act`, as a user would answer it. Stops waiting when it goes out of scope,
// so a test that saw no window leaves nothing behind for the next one.
class WhenModalAppears {
public:
    explicit WhenModalAppears(std::function<void(QWidget*)> act)
        : m_act(std::move(act))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                m_timer.stop();
                m_act(modal);
            }
        });
        m_timer.start(20);
    }
    WhenModalAppears(const WhenModalAppears&) = delete;
    WhenModalAppears& operator=(const WhenModalAppears&) = delete;

private:
    std::function<void(QWidget*)> m_act;
    QTimer m_timer;
};

// Answers the next message box with its OK button and records what it said.
class AnswerMessageBox {
public:
    bool seen = false;
    QString title;
    QString text;

    AnswerMessageBox()
        : m_wait([this](QWidget* w) {
              auto* box = qobject_cast<QMessageBox*>(w);
              if (!box) {
                  w->close();
                  return;
              }
              seen = true;
              title = box->windowTitle();
              text = box->text();
              box->button(QMessageBox::Ok)->click();
          })
    {
    }

private:
    WhenModalAppears m_wait;
};

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// Text of a PDF file as pdftotext reads it; null when pdftotext is missing.
inline QString pdfText(const QString& pdfFile)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return QString();
    QProcess p;
    p.start(tool, {QStringLiteral("-layout"), pdfFile, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Number of pages of a PDF file as pdfinfo reads it; -1 when pdfinfo is missing.
inline int pdfPages(const QString& pdfFile)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (tool.isEmpty())
        return -1;
    QProcess p;
    p.start(tool, {pdfFile});
    p.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n')) {
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return 0;
}
