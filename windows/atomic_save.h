// Writing a whole file from the desktop so that a failure never leaves a truncated file where a
// good one was: Qt's save file, opened unbuffered, because Qt 6.4 commits (renames into place) a
// buffered file whose write has already failed.
#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// Answers true when the bytes are in place; otherwise the old file is untouched and error, when
// given, says why.
inline bool SaveBytesAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr) {
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size();
    if (written && file.commit()) return true;
    if (error) *error = file.errorString();
    return false;
}
