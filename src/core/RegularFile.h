#pragma once

// Opening a file the user named, which may be anything: a FIFO would block
// the open until someone writes, a device would be read for ever.

#include <QFile>
#include <QString>

enum class RegularFileOpen { Opened, NotFound, Directory, NotAFile, CannotOpen };

// Opens `path` for reading into `file` when it is a regular file. It is opened
// without waiting and checked on the open descriptor, so the file checked is
// the file read.
RegularFileOpen OpenRegularFile(const QString& path, QFile& file);
