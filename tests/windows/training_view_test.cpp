// The training view: counters, storm rule, curve thinning, the performance box, elapsed time,
// balloons and fonts, terminate and save.
#include "base/dyna_array.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "network/feed_forward_network.h"
#include "view/view_services.h"
#include "windows/drawing_helpers.h"
#include "windows/nn_structure_dialog.h"
#include "windows/pictures.h"
#include "windows/training_painter.h"

namespace {

CFeedForwardNeuralNetwork SmallNetwork() {
    CFeedForwardNeuralNetwork network;
    network.SetInputCount(2);
    network.SetLayers(std::vector<int>{2, 1});
    network.SetName("xor");
    return network;
}

QString Text(CNNStructureDialog& dialog, int id) { return static_cast<QLineEdit*>(dialog.Control(id))->text(); }

TEST(TrainingView, UpdateTrainingInfoTexts) {
    struct Case {
        int epoch, maxEpochs;
        double rms, emax, lc;
        const char *epochs, *percent, *rmsText, *emaxText, *lcText;
    };
    const std::vector<Case> cases = {
        {1234567, 2000000, 0.1, 0.01, 0.123456, "1 234 567", "62%", "0.100000001", "0.01", "0.12346"},
        {50, 200, 0.5, 0, 1, "50", "25%", "0.500000000", "0", "1"},
        {3, 8, 2, 0.001, 0.5, "3", "38%", "2.000000000", "0.001", "0.5"},
        {1, 0, 0.25, 0, 1, "1", "100%", "0.250000000", "0", "1"},
    };
    CNNStructureDialog dialog(nullptr, nullptr);
    for (const Case& c : cases) {
        dialog.UpdateTrainingInfo(c.epoch, c.maxEpochs, c.rms, c.emax, c.lc, 1.0);
        EXPECT_EQ(Text(dialog, CNNStructureDialog::kIdEpochs), c.epochs);
        EXPECT_EQ(Text(dialog, CNNStructureDialog::kIdEpochsPercent), c.percent);
        EXPECT_EQ(Text(dialog, CNNStructureDialog::kIdRms), c.rmsText);
        EXPECT_EQ(Text(dialog, CNNStructureDialog::kIdGoal), c.emaxText);
        EXPECT_EQ(Text(dialog, CNNStructureDialog::kIdLc), c.lcText);
    }
}

TEST(TrainingView, StormWhenTheErrorStandsOrRises) {
    CNNStructureDialog dialog(nullptr, nullptr);
    dialog.StartTraining(SmallNetwork());
    const std::vector<std::pair<double, int>> sequence = {
        {0.5, 0}, {0.4, 0}, {0.4, 1}, {0.45, 1}, {0.3, 0}, {0.3 - 5e-10, 1}, {0.2, 0}};
    for (const auto& [rms, storm] : sequence) {
        dialog.UpdateTrainingInfo(1, 10, rms, 0, 1, 1);
        EXPECT_EQ(dialog.GetStorm(), storm) << rms;
    }
    dialog.StartTraining(SmallNetwork());  // starts again from 10000
    dialog.UpdateTrainingInfo(1, 10, 9999.9, 0, 1, 1);
    EXPECT_EQ(dialog.GetStorm(), 0);
    EXPECT_EQ(Text(dialog, CNNStructureDialog::kIdElapsed), "00:00:00");
}

TEST(TrainingView, RmsCurveSkipsTheFirstValueFlattensRisesAndThins) {
    const PlotBox box(QSize(540, 400));  // plot 470 x 305
    const LogScale scale(0.1, 1.0, 0, box);
    CDynaArray<double> rms(150000, "Graph Viewer Points");
    for (double v : {0.5, 0.4, 0.45, 0.3}) rms.Add(v);
    const std::vector<QPoint> flat = ThinRmsCurve(rms, box, scale, false);
    ASSERT_EQ(flat.size(), 3u);
    EXPECT_EQ(flat[0].y(), scale(0.4));
    EXPECT_EQ(flat[1].y(), scale(0.4));
    EXPECT_EQ(flat[2].y(), scale(0.3));
    EXPECT_EQ(flat[0].x(), 1 * 470 / 4 + 40 + 5);
    EXPECT_EQ(ThinRmsCurve(rms, box, scale, true)[1].y(), scale(0.45));

    for (int i = 0; i < 1000000; ++i) rms.Add(0.9 - i * 1e-7);
    const std::vector<QPoint> thinned = ThinRmsCurve(rms, box, scale, false);
    EXPECT_LE(thinned.size(), 2u * 470 + 100);
    EXPECT_GE(thinned.size(), 2u * 470);
    EXPECT_TRUE(std::is_sorted(thinned.begin(), thinned.end(), [](QPoint a, QPoint b) { return a.x() < b.x(); }));
    EXPECT_GE(thinned.back().x(), 40 + 5 + 470 - 2);
}

TEST(TrainingView, LogScaleWithoutAGoalStillSpansTheValues) {
    const PlotBox box(QSize(540, 400));
    const LogScale proper(0.01, 1.0, 0.05, box);
    EXPECT_EQ(proper(0.01), box.bottom - 5);
    EXPECT_EQ(proper(1.0), box.top - 5);
    const LogScale noGoal(0.0, 1.0, 0.05, box);  // the smallest value seen is the bottom
    EXPECT_EQ(noGoal(0.05), box.bottom - 5);
    EXPECT_EQ(noGoal(0.0), box.bottom - 5);
    const LogScale flat(0.2, 0.2, 0.2, box);  // one value: mid-plot
    EXPECT_NEAR(flat(0.2), (box.top + box.bottom) / 2 - 5, 1);
}

TEST(TrainingView, PerformanceBoxFollowsTheTestCurve) {
    CNNStructureDialog dialog(nullptr, nullptr);
    auto* box = static_cast<QCheckBox*>(dialog.Control(CNNStructureDialog::kIdPerformance));
    dialog.StartTraining(SmallNetwork());
    for (int i = 0; i < 301; ++i) dialog.AddCurvePoint(0, 1.0 / (i + 1), 0);
    dialog.RenderFrame(QSize(600, 400));
    EXPECT_EQ(std::make_pair(box->isEnabled(), box->isChecked()), std::make_pair(false, false));
    dialog.AddCurvePoint(2, 0.75, 1);
    dialog.RenderFrame(QSize(600, 400));
    EXPECT_EQ(std::make_pair(box->isEnabled(), box->isChecked()), std::make_pair(true, false));
    // Without an adaptive learning constant the LC box is off and disabled.
    EXPECT_FALSE(dialog.Control(CNNStructureDialog::kIdLcGraph)->isEnabled());
}

TEST(TrainingView, ElapsedTimeTexts) {
    const std::vector<std::pair<int, std::string>> cases = {
        {59, "00:00:59"},           {3661, "01:01:01"},         {86400, "24:00:00"},
        {86401, "1 Day,00:00:01"},  {90061, "1 Day,01:01:01"},  {172801, "2 Days,00:00:01"},
    };
    for (const auto& [seconds, text] : cases) EXPECT_EQ(FormatElapsedTime(seconds), text) << seconds;
}

TEST(TrainingView, BalloonPictureByTextWidthAndFontHeight) {
    const std::vector<std::pair<int, int>> cases = {{10, 23}, {22, 23}, {23, 50}, {30, 50}, {119, 120}, {200, 180}};
    for (const auto& [text, picture] : cases) EXPECT_EQ(pictures::BalloonFor(text).width(), picture) << text;
    EXPECT_EQ(pictures::BalloonFor(5).height(), 26);
    EXPECT_EQ(PointFontPixelHeight(120, 96), 16);
    EXPECT_EQ(pictures::Neuron().size(), QSize(100, 100));
}

struct RecordingOwner : ViewServices {
    void OutputText(const std::string&, int, int, int, int) override {}
};

TEST(TrainingView, TerminateAsksFirst) {
    for (bool yes : {false, true}) {
        RecordingOwner owner;
        CNNStructureDialog dialog(nullptr, &owner);
        StructureDialogPrompts prompts;
        QString asked;
        prompts.askYesNo = [&](QWidget*, const QString& question) {
            asked = question;
            return yes;
        };
        dialog.SetPrompts(prompts);
        dialog.StartTraining(SmallNetwork());
        static_cast<QPushButton*>(dialog.Control(CNNStructureDialog::kIdTerminate))->click();
        EXPECT_EQ(asked, "Are you sure you want to terminate learning process?");
        EXPECT_EQ(owner.stopLearning.load(), yes ? 1 : 0);
        EXPECT_EQ(dialog.Control(CNNStructureDialog::kIdTerminate)->isEnabled(), !yes);
    }
}

// Once the question comes up: Esc and the title bar's close button leave it up, unanswered; then
// the button answers. asked records its text (empty when no question came).
void AnswerQuestionWith(QMessageBox::StandardButton answer, QString& asked, bool& stayedUp) {
    QTimer::singleShot(0, [answer, &asked, &stayedUp] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        asked = box->text();
        QTest::keyClick(box, Qt::Key_Escape);
        box->close();
        QCoreApplication::processEvents();
        stayedUp = box->isVisible() && box->clickedButton() == nullptr;
        box->button(answer)->click();
    });
}

// The window's own questions, as the user meets them: only Yes or No answers them.
TEST(TrainingView, TerminateAndOverwriteAreAnsweredByTheirButtonsOnly) {
    QTemporaryDir dir;
    const QString existing = dir.filePath("old");
    QFile(existing + ".qNN").open(QIODevice::WriteOnly);
    for (QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        SCOPED_TRACE(answer == QMessageBox::Yes ? "Yes" : "No");
        const bool yes = answer == QMessageBox::Yes;
        RecordingOwner owner;
        CNNStructureDialog dialog(nullptr, &owner);
        StructureDialogPrompts prompts = StructureDialogPrompts::Interactive();
        prompts.chooseSavePath = [&](QWidget*, const QString&, const QString&, const QString&) { return existing; };
        dialog.SetPrompts(prompts);
        dialog.StartTraining(SmallNetwork());

        QString asked;
        bool stayedUp = false;
        AnswerQuestionWith(answer, asked, stayedUp);
        static_cast<QPushButton*>(dialog.Control(CNNStructureDialog::kIdTerminate))->click();
        EXPECT_EQ(asked, "Are you sure you want to terminate learning process?");
        EXPECT_TRUE(stayedUp);
        EXPECT_EQ(owner.stopLearning.load(), yes ? 1 : 0);

        asked.clear();
        stayedUp = false;
        AnswerQuestionWith(answer, asked, stayedUp);
        dialog.OnSaveNetwork();
        EXPECT_EQ(asked, "Are you sure you want to overwrite existing file?");
        EXPECT_TRUE(stayedUp);
        EXPECT_EQ(QFile(existing + ".qNN").size() > 0, yes);
    }
}

TEST(TrainingView, SavePathRules) {
    QTemporaryDir dir;
    const QString root = dir.path();
    QDir(root).mkpath("nets");
    QDir(root).mkpath("x.qNN");
    QFile(root + "/nets/old.qNN").open(QIODevice::WriteOnly);
    struct Case {
        QString chosen;
        bool answer;
        QString written;  // empty: nothing written
        QString asked;
        QString error;
    };
    const QString overwrite = "Are you sure you want to overwrite existing file?";
    const std::vector<Case> cases = {
        {root + "/nets/a", true, root + "/nets/a.qNN", "", ""},
        {root + "/b.qNN", true, root + "/b.qNN", "", ""},
        {root + "/x.qNN/c", true, root + "/x.qNN/c", "", ""},
        {root + "/nets/old", false, "", overwrite, ""},
        {root + "/nets/old", true, root + "/nets/old.qNN", overwrite, ""},
        {root + "/missing/d", true, "", "", "Error: Could not write into file."},
    };
    for (const Case& c : cases) {
        CNNStructureDialog dialog(nullptr, nullptr);
        QString asked, error, caption;
        StructureDialogPrompts prompts;
        prompts.chooseSavePath = [&](QWidget*, const QString& title, const QString&, const QString&) {
            caption = title;
            return c.chosen;
        };
        prompts.askYesNo = [&](QWidget*, const QString& question) {
            asked = question;
            return c.answer;
        };
        prompts.showError = [&](QWidget*, const QString& text) { error = text; };
        dialog.SetPrompts(prompts);
        dialog.OnSaveNetwork();  // no network shown: nothing happens
        EXPECT_TRUE(caption.isEmpty());
        dialog.SetNetwork(SmallNetwork());
        dialog.OnSaveNetwork();
        EXPECT_EQ(caption, "Save  \"xor\"  As:");
        EXPECT_EQ(dialog.GetSavePath(), c.chosen);
        EXPECT_EQ(asked, c.asked) << c.chosen.toStdString();
        EXPECT_EQ(error, c.error) << c.chosen.toStdString();
        if (c.written.isEmpty()) continue;
        QFile file(c.written);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.written.toStdString();
        const QByteArray bytes = file.readAll();
        ASSERT_GE(bytes.size(), 12);
        EXPECT_EQ(bytes.left(4), QByteArray::fromHex("71f25b2e"));  // 777777777, little-endian
    }
    EXPECT_EQ(QFile(root + "/nets/old.qNN").size(), QFile(root + "/nets/a.qNN").size());

    // Cancel keeps the last path for the next dialog.
    CNNStructureDialog dialog(nullptr, nullptr);
    QString offered;
    StructureDialogPrompts prompts;
    prompts.chooseSavePath = [&](QWidget*, const QString&, const QString& initial, const QString&) {
        offered = initial;
        return offered.isEmpty() ? root + "/e.qNN" : QString();
    };
    dialog.SetPrompts(prompts);
    dialog.SetNetwork(SmallNetwork());
    dialog.OnSaveNetwork();
    dialog.OnSaveNetwork();
    EXPECT_EQ(offered, root + "/e.qNN");
    EXPECT_EQ(dialog.GetSavePath(), root + "/e.qNN");
}

}  // namespace
