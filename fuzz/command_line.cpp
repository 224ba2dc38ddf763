// Fuzz target of the command-line reader: any text as the command line, and
// the same text cut at NUL characters as an argument list that the program
// rebuilds into one. Looks for crashes, hangs and sanitizer reports.

#include "shell/CommandLine.h"

#include <QString>
#include <QStringList>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    static_cast<void>(ParseCommandLine(text));
    static_cast<void>(ParseCommandLine(RebuildCommandLine(text.split(QChar(u'\0')))));
    return 0;
}
