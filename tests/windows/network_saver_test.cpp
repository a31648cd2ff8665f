// Saving the training window's network: the bytes the network writer gives, straight into the
// chosen file, whatever the temporary folder.
#include "base/dyna_array.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "network/feed_forward_network.h"
#include "platform/crt_file.h"
#include "platform/temp_dir.h"
#include "windows/network_saver.h"

namespace {

QByteArray WrittenByTheNetwork(const CFeedForwardNeuralNetwork& network, const QString& path) {
    auto file = crt::CrtFile::Open(path.toStdString(), "wb");
    if (!file || network.WriteToFile(*file) != 1 || !file->Close()) return {};
    QFile back(path);
    return back.open(QIODevice::ReadOnly) ? back.readAll() : QByteArray();
}

TEST(NetworkSaver, WritesTheNetworkFileWithoutATemporaryFolder) {
    CFeedForwardNeuralNetwork network;
    network.SetInputCount(2);
    network.SetLayers({3, 1});
    QTemporaryDir dir;
    const QByteArray expected = WrittenByTheNetwork(network, dir.filePath("expected.qNN"));
    ASSERT_GT(expected.size(), 12);
    // The temporary folder takes no new files; the chosen one does.
    ASSERT_TRUE(QDir(dir.path()).mkdir("tmp"));
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7777));
    QFile::setPermissions(dir.filePath("tmp"), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(dir.filePath("tmp")));
    bool saved = false;
    platform_test::AsOrdinaryUser([&] { saved = SaveNetworkFile(network, dir.filePath("saved.qNN")); });
    qputenv("TMPDIR", oldTemp);
    QFile::setPermissions(dir.filePath("tmp"), QFile::Permissions(0x7700));
    EXPECT_TRUE(saved);
    QFile file(dir.filePath("saved.qNN"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), expected);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // nothing left beside it
}

}  // namespace
