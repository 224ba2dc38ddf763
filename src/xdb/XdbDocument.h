#pragma once

// Reads an XDB document line by line.
//
// ERP releases ship the document in Windows-1252; a document saved by an
// editor as UTF-8 is read as UTF-8, recognised by being valid UTF-8 as a whole
// and holding at least one non-ASCII character (pure ASCII reads the same
// either way). CR LF, a lone CR and a lone LF each end a line, so documents
// edited on Linux (LF) or old Macs (CR) read like the shipped ones. The read
// position counts bytes of the file, for the progress display.

#include <QByteArray>
#include <QFile>
#include <QString>

enum class XdbEncoding { Windows1252, Utf8 };

class XdbDocument {
public:
    XdbDocument() = default;
    XdbDocument(const XdbDocument&) = delete;
    XdbDocument& operator=(const XdbDocument&) = delete;

    // Opens the file and settles its encoding. Raises TabrixError 53 when the
    // file does not exist, 75 when it cannot be read (a folder, no permission).
    void open(const QString& path);
    void close();

    qint64 length() const { return m_length; }
    // Bytes consumed so far, line ends included.
    qint64 position() const { return m_position; }
    // Both raise TabrixError 57 when the file cannot be read any further.
    bool atEnd();
    // The next line without its line end. Raises TabrixError 62 past the end.
    QString readLine();
    XdbEncoding encoding() const { return m_encoding; }

private:
    // Makes at least one unread byte available; false at the end of the file.
    bool fill();
    QString decode(const QByteArray& bytes) const;

    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_offset = 0;
    qint64 m_length = 0;
    qint64 m_position = 0;
    XdbEncoding m_encoding = XdbEncoding::Windows1252;
};
