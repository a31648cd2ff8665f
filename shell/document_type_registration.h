// Makes "*.NNProg" files known to the user's desktop: a shared-mime-info type, a desktop entry
// that opens them with this program, and the icon, under the XDG data home. Files already as
// they should be are left alone; a failure is reported but never stops the program.
#pragma once

#include <QString>

namespace doc_type {

constexpr char kMimeType[] = "application/x-kestrum-document";

// What was written ("" when everything was in place) or why it failed, for the log.
struct Result {
    bool ok = true;
    int filesWritten = 0;
    QString error;
};

// dataHome: the XDG data home ($XDG_DATA_HOME or ~/.local/share); program: the executable's path.
// An empty dataHome (no home) registers nothing and says why.
Result Register(const QString& dataHome, const QString& program);
// $XDG_DATA_HOME when it is an absolute path, otherwise $HOME/.local/share; empty when neither
// is set: without a home there is no place of the user's own for the type.
QString DefaultDataHome();

}  // namespace doc_type
