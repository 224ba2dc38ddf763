#pragma once

// Windows-1252, the code page the ERP's files are written in (XDB documents,
// qel.ini), and the test that tells a UTF-8 file from one in that code page.

#include <QByteArray>
#include <QString>

// Windows-1252 bytes as text. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control character of the same
// number, as Windows converts them.
QString FromWindows1252(const QByteArray& bytes);

// Text as Windows-1252 bytes; a character outside that code page becomes "?".
QByteArray ToWindows1252(const QString& text);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or
// values above U+10FFFF). Keeps its state across calls for a file read in pieces.
class Utf8Validator {
public:
    void feed(const char* data, qsizetype size);
    // True when everything fed so far is valid UTF-8 and ends on a whole character.
    bool valid() const { return m_valid && m_pending == 0; }
    bool sawNonAscii() const { return m_nonAscii; }
    // True as soon as a byte broke the rules: nothing fed later can mend it.
    bool failed() const { return !m_valid; }

private:
    bool m_valid = true;
    bool m_nonAscii = false;
    int m_pending = 0;        // continuation bytes still expected
    unsigned m_lower = 0x80;  // allowed range of the next continuation byte
    unsigned m_upper = 0xBF;
};
