#include "StderrCapture.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

StderrCapture::StderrCapture()
{
    char name[] = "/tmp/tabrix-stderr-XXXXXX";
    m_fileFd = ::mkstemp(name);
    if (m_fileFd < 0)
        return;
    ::unlink(name);
    std::fflush(stderr);
    m_savedFd = ::dup(STDERR_FILENO);
    ::dup2(m_fileFd, STDERR_FILENO);
}

StderrCapture::~StderrCapture()
{
    std::fflush(stderr);
    if (m_savedFd >= 0) {
        ::dup2(m_savedFd, STDERR_FILENO);
        ::close(m_savedFd);
    }
    if (m_fileFd >= 0)
        ::close(m_fileFd);
}

QString StderrCapture::text() const
{
    std::fflush(stderr);
    QByteArray bytes;
    if (m_fileFd < 0)
        return QString();
    char buffer[4096];
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(m_fileFd, buffer, sizeof buffer, offset);
        if (n <= 0)
            break;
        bytes.append(buffer, n);
        offset += n;
    }
    return QString::fromUtf8(bytes);
}
