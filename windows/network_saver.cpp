#include "base/dyna_array.h"
#include "windows/network_saver.h"

#include "network/feed_forward_network.h"
#include "platform/crt_file.h"
#include "windows/atomic_save.h"
#include "windows/drawing_helpers.h"

SaveTarget DecideSaveTarget(const QString& chosen) {
    if (chosen.contains(".qNN")) return {chosen, false};
    const QString path = chosen + ".qNN";
    return {path, FileExists(path)};
}

bool SaveNetworkFile(const CFeedForwardNeuralNetwork& network, const QString& path) {
    return SaveFileAtomically(path, [&network](crt::CrtFile& file) { return network.WriteToFile(file) == 1; });
}
