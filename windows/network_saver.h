// Saving the window's network copy: the file-name rules of the save dialog and a write that
// never leaves a half-written file where a good one was.
#pragma once

#include <QString>

class CFeedForwardNeuralNetwork;

struct SaveTarget {
    QString path;
    // The extension was appended and a file of that name exists: ask before overwriting.
    bool askOverwrite = false;
};

// A chosen path holding ".qNN" anywhere is written as chosen; any other gets ".qNN" appended.
SaveTarget DecideSaveTarget(const QString& chosen);

// Writes the network file (header and body) to a temporary file beside `path` and renames it into
// place. false when any step failed; the old file, if any, is then untouched.
bool SaveNetworkFile(const CFeedForwardNeuralNetwork& network, const QString& path);
