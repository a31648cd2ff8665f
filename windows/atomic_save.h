// Writing a whole file from the desktop so that a failure never leaves a truncated file where a
// good one was: the platform's atomic save (a new file beside the old one, renamed over it),
// with the desktop's names and a message that names the cause.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace crt {
class CrtFile;
}

// write puts the content into the file (binary mode). Answers true when it is in place; otherwise
// the old file is untouched and error, when given, says why.
bool SaveFileAtomically(const QString& path, const std::function<bool(crt::CrtFile&)>& write, QString* error = nullptr);
bool SaveBytesAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);
