#pragma once
// File names are bytes on Linux, not text. A name that is not valid UTF-8
// (a Latin-1 "caf\xe9.wav") must still open, so the program carries paths
// as QStrings in which every byte that is not part of a valid UTF-8
// sequence is held as one lone surrogate U+DC80..U+DCFF. Decode and Encode
// are exact inverses for any byte string; a valid UTF-8 name is unchanged.
//
// Plain functions, any thread.
#include <QByteArray>
#include <QString>

class CBytePath {
public:
    // Bytes (argv, a list file) to a path.
    static QString Decode(const QByteArray& bytes);
    // A path back to the bytes the system call needs.
    static QByteArray Encode(const QString& path);
    // True when the path came from bytes that are not valid UTF-8.
    static bool HasRawBytes(const QString& path);
    // The path as a report shows it: unchanged when it is valid text, else
    // every raw byte written as \xHH, so the report stays valid UTF-8.
    static QString ForReport(const QString& path);
};
