// GUI tests drive real widgets: one QApplication for the whole program, on the offscreen platform
// unless the caller chose another.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

namespace {

// Each test starts from settings of its own: what one test leaves behind (the recent files) is
// never another's start, whether the tests run in one process or one by one.
class FreshSettingsPerTest : public testing::EmptyTestEventListener {
    std::unique_ptr<QTemporaryDir> folder_;

    void OnTestStart(const testing::TestInfo&) override {
        folder_ = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_->path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_->path());
    }
    void OnTestEnd(const testing::TestInfo&) override { folder_.reset(); }
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshSettingsPerTest);
    return RUN_ALL_TESTS();
}
