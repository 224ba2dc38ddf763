#pragma once

// Reads an XDB document line by line.
//
// ERP releases ship the document in Windows-1252; an editor may have saved
// some or all of it as UTF-8. Each line is decoded on its own: a line that is
// valid UTF-8 is read as UTF-8, any other line as Windows-1252 (a plain ASCII
// line reads the same either way), so one stray byte spoils no other line. A
// byte-order mark at the start of the file is no part of the first line. CR
// LF, a lone CR and a lone LF each end a line, so documents edited on Linux
// (LF) or old Macs (CR) read like the shipped ones. The read position counts
// bytes of the file, for the progress display.

#include <QByteArray>
#include <QFile>
#include <QString>

class XdbDocument {
public:
    // A longer line is read to its end without being kept.
    static constexpr qsizetype MaxLineBytes = 64 * 1024;

    XdbDocument() = default;
    XdbDocument(const XdbDocument&) = delete;
    XdbDocument& operator=(const XdbDocument&) = delete;

    // Opens the file. Raises TabrixError 53 when it does not exist, 75 when it
    // is no regular file (a folder, a FIFO, a device) or cannot be read: such
    // a path is refused before anything waits on it or reads it without end.
    void open(const QString& path);
    void close();
    // Back to the first line.
    void rewind();

    qint64 length() const { return m_length; }
    // Bytes consumed so far, line ends included.
    qint64 position() const { return m_position; }
    // Both raise TabrixError 57 when the file cannot be read any further.
    bool atEnd();
    // The next line without its line end; empty when the line is too long.
    // Raises TabrixError 62 past the end.
    QString readLine();
    // The number of the line last read, counted from 1.
    long lineNumber() const { return m_lineNumber; }
    // The line last read held more than MaxLineBytes bytes.
    bool lineTooLong() const { return m_tooLong; }

private:
    // Makes at least one unread byte available; false at the end of the file.
    bool fill();

    QString m_path;
    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_offset = 0;
    qint64 m_length = 0;
    qint64 m_position = 0;
    long m_lineNumber = 0;
    bool m_tooLong = false;
};
