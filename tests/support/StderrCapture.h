#pragma once

#include <QString>

// Sends the process's standard error into a temporary file while it lives;
// text() returns what was written so far.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    QString text() const;

private:
    int m_savedFd = -1;
    int m_fileFd = -1;
};
