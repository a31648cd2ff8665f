#include "base/dyna_array.h"
#include "windows/network_saver.h"

#include <QFile>
#include <QTemporaryFile>

#include "network/feed_forward_network.h"
#include "platform/crt_file.h"
#include "windows/atomic_save.h"
#include "windows/drawing_helpers.h"

SaveTarget DecideSaveTarget(const QString& chosen) {
    if (chosen.contains(".qNN")) return {chosen, false};
    const QString path = chosen + ".qNN";
    return {path, FileExists(path)};
}

namespace {

// The network writer writes through a C-runtime stream, whose paths are code page 1256: it writes
// into a scratch file with a plain name, whose bytes then go to the chosen path.
bool NetworkFileBytes(const CFeedForwardNeuralNetwork& network, QByteArray& bytes) {
    QTemporaryFile scratch;
    if (!scratch.open()) return false;
    scratch.close();
    const std::string name = scratch.fileName().toStdString();
    auto file = crt::CrtFile::Open(name, "wb");
    if (!file) return false;
    const bool written = network.WriteToFile(*file) == 1;
    if (!file->Close() || !written) return false;
    QFile back(scratch.fileName());
    if (!back.open(QIODevice::ReadOnly)) return false;
    bytes = back.readAll();
    return true;
}

}  // namespace

bool SaveNetworkFile(const CFeedForwardNeuralNetwork& network, const QString& path) {
    QByteArray bytes;
    if (!NetworkFileBytes(network, bytes)) return false;
    return SaveBytesAtomically(path, bytes);
}
