#pragma once
// Reads the list of files to analyse from a list file or standard input
// ("-"): one path per line, or NUL-separated as `find -print0` writes them.
// Paths are kept as bytes (see CBytePath). In a line list a trailing CR is
// dropped (lists edited on Windows) and empty lines are skipped.
//
// Plain functions, any thread (standard input: one reader at a time).
#include <QString>
#include <QStringList>
#include <cstdio>

class CFileList {
public:
    // Appends the listed paths to `paths`; false with the reason in `error`
    // when the list cannot be read.
    static bool Read(const QString& listPath, bool nulSeparated, QStringList& paths, QString& error,
                     std::FILE* standardInput = stdin);
    // Splits a list's bytes into paths.
    static QStringList Split(const QByteArray& bytes, bool nulSeparated);
};
