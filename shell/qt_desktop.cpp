#include "shell/qt_desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <utility>

#include "platform/crt_file.h"
#include "platform/wave_file.h"
#include "shell/gui_call.h"
#include "shell/run_dialogs.h"
#include "shell/source_text.h"
#include "view/view_services.h"
#include "windows/system_message_box.h"

namespace {

QMessageBox::Icon IconOf(unsigned style) {
    switch (style & 0xF0u) {
        case desktop::kIconHand: return QMessageBox::Critical;
        case desktop::kIconQuestion: return QMessageBox::Question;
        case desktop::kIconExclamation: return QMessageBox::Warning;
        case desktop::kIconAsterisk: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

// The buttons of a message-box style: OK, OK/Cancel, Abort/Retry/Ignore, Yes/No/Cancel, Yes/No,
// Retry/Cancel.
QMessageBox::StandardButtons ButtonsOf(unsigned style) {
    switch (style & 0x0Fu) {
        case 1: return QMessageBox::Ok | QMessageBox::Cancel;
        case 2: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        case 3: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case 4: return QMessageBox::Yes | QMessageBox::No;
        case 5: return QMessageBox::Retry | QMessageBox::Cancel;
        default: return QMessageBox::Ok;
    }
}

int AnswerOf(int button) {
    switch (button) {
        case QMessageBox::Cancel: return desktop::kIdCancel;
        case QMessageBox::Abort: return 3;
        case QMessageBox::Retry: return 4;
        case QMessageBox::Ignore: return 5;
        case QMessageBox::Yes: return desktop::kIdYes;
        case QMessageBox::No: return desktop::kIdNo;
        default: return desktop::kIdOk;
    }
}

// A worker's wait for the answer to a dialog that the GUI thread shows without waiting.
template <typename Answer>
class PendingAnswer {
public:
    explicit PendingAnswer(Answer unanswered) : answer_(std::move(unanswered)) {}
    // The first answer counts (a dialog closed by its button, then destroyed).
    void Give(Answer answer) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (given_) return;
            given_ = true;
            answer_ = std::move(answer);
        }
        answered_.notify_all();
    }
    Answer Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        answered_.wait(lock, [this] { return given_; });
        return answer_;
    }

private:
    std::mutex mutex_;
    std::condition_variable answered_;
    bool given_ = false;
    Answer answer_;
};

// True when the run that owner shows has been told to stop: it asks nothing more.
bool RunStopping(void* owner) {
    const auto* view = dynamic_cast<const ViewServices*>(static_cast<QWidget*>(owner));
    return view != nullptr && view->stopRequested.load() != 0;
}

// Shows a dialog that make builds (GUI thread) and gives read's reading of it once it is done.
// Asked for by a running script, the dialog belongs to its run (RunDialog): the worker waits for
// the answer while the GUI thread goes on, so dialogs of two documents' runs are each answered on
// their own (a modal loop would nest the later one inside the earlier), and a stop of the run
// takes the dialog away unanswered. Asked for in the GUI thread, it is modal to its window.
template <typename Answer>
Answer AskForRun(void* owner, const std::function<QDialog*()>& make,
                 const std::function<Answer(QDialog&, int result)>& read, Answer unanswered) {
    if (gui::InGuiThread()) {
        const std::unique_ptr<QDialog> dialog(make());
        dialog->setWindowModality(Qt::WindowModal);
        const int result = dialog->exec();
        return read(*dialog, result);
    }
    const auto answer = std::make_shared<PendingAnswer<Answer>>(unanswered);
    gui::CallInGuiThread([&] {
        if (RunStopping(owner)) {
            answer->Give(unanswered);
            return;
        }
        QDialog* dialog = make();
        dialog->setModal(false);
        QObject::connect(dialog, &QDialog::finished, dialog, [answer, dialog, read](int result) {
            answer->Give(read(*dialog, result));
            dialog->deleteLater();
        });
        QObject::connect(dialog, &QObject::destroyed, [answer, unanswered] { answer->Give(unanswered); });
        dialog->show();
        new RunDialog(dialog, static_cast<QWidget*>(owner), [answer, dialog, unanswered] {
            answer->Give(unanswered);
            dialog->hide();
            dialog->deleteLater();
        });
        dialog->activateWindow();
    });
    return answer->Wait();
}

QString SystemPath(const std::string& cp1256Path) { return QString::fromStdString(crt::ToSystemPath(cp1256Path)); }

// What the desktop's "open" does with a target: runs a program, opens a document or folder with
// its application, opens a URL.
bool OpenTarget(const QString& target) {
    if (target.isEmpty()) return false;
    const QFileInfo file(target);
    if (file.exists()) {
        if (file.isFile() && file.isExecutable()) return QProcess::startDetached(file.absoluteFilePath(), {});
        return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
    }
    if (target.contains(QStringLiteral("://")) || target.startsWith(QStringLiteral("mailto:")))
        return QDesktopServices::openUrl(QUrl(target));
    const QString program = QStandardPaths::findExecutable(target);
    return !program.isEmpty() && QProcess::startDetached(program, {});
}

}  // namespace

QtDesktop::QtDesktop() = default;

QtDesktop::~QtDesktop() = default;

QWidget* QtDesktop::Parent(void* owner) const {
    if (owner != nullptr) return static_cast<QWidget*>(owner)->window();
    return mainWindow_.data();
}

int QtDesktop::MessageBox(void* owner, const std::string& text, const std::string& caption, unsigned style) {
    return AskForRun<int>(
        owner,
        [&]() -> QDialog* {
            return new SystemMessageBox(IconOf(style), FromScriptText(caption), FromScriptText(text),
                                        ButtonsOf(style), Parent(owner));
        },
        [](QDialog&, int result) { return AnswerOf(result); }, desktop::kIdCancel);
}

std::string QtDesktop::SelectFile(void* owner, const std::string& filterTitle, const std::string& pattern) {
    return AskForRun<std::string>(
        owner,
        [&]() -> QDialog* {
            const QString patterns = FromScriptText(pattern).replace(QLatin1Char(';'), QLatin1Char(' '));
            const QString filter = FromScriptText(filterTitle) + QStringLiteral(" (") + patterns + QLatin1Char(')');
            auto* dialog = new QFileDialog(Parent(owner), QStringLiteral("Tessel Select File"), QString(), filter);
            dialog->setFileMode(QFileDialog::ExistingFile);
            dialog->setDefaultSuffix(QStringLiteral("txt"));  // a name typed without one is looked for as .txt
            return dialog;
        },
        [](QDialog& dialog, int result) {
            const QStringList chosen = static_cast<QFileDialog&>(dialog).selectedFiles();
            return result == QDialog::Accepted && !chosen.isEmpty() ? ToScriptText(chosen.front()) : std::string();
        },
        std::string());
}

void QtDesktop::Beep(unsigned) {
    gui::CallInGuiThread([] { QApplication::beep(); });
}

bool QtDesktop::PlayWave(const std::string& path, bool loop, bool wait) {
    desktop::WaveInfo info;
    std::string error;
    if (!desktop::ReadWaveInfo(crt::ToSystemPath(path), info, error)) return false;
    std::uint64_t generation = 0;
    {
        std::lock_guard<std::mutex> lock(waveMutex_);
        generation = ++waveGeneration_;
    }
    const QUrl source = QUrl::fromLocalFile(SystemPath(path));
    gui::CallInGuiThread([&] {
        // Without an audio device the effect reports an error and stays silent; the wait below
        // still takes the sound's time.
        if (sound_) {
            sound_->stop();
            sound_->deleteLater();
        }
        sound_ = new QSoundEffect(QCoreApplication::instance());
        sound_->setSource(source);
        sound_->setLoopCount(loop ? QSoundEffect::Infinite : 1);
        sound_->play();
    });
    if (wait && !loop) WaitForSound(generation, info.DurationMilliseconds());
    return true;
}

void QtDesktop::WaitForSound(std::uint64_t generation, std::uint64_t milliseconds) {
    std::unique_lock<std::mutex> lock(waveMutex_);
    waveStopped_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                          [&] { return waveGeneration_ != generation; });
}

void QtDesktop::StopWave() {
    {
        std::lock_guard<std::mutex> lock(waveMutex_);
        ++waveGeneration_;
    }
    waveStopped_.notify_all();
    gui::CallInGuiThread([this] {
        if (sound_) sound_->stop();
    });
}

bool QtDesktop::Open(const std::string& target) {
    bool opened = false;
    gui::CallInGuiThread([&] { opened = OpenTarget(SystemPath(target)); });
    return opened;
}

bool QtDesktop::SetClipboardText(const std::string& text) {
    bool done = false;
    gui::CallInGuiThread([&] {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard == nullptr) return;
        clipboard->setText(FromScriptText(text));
        done = true;
    });
    return done;
}

void InstallQtDesktop(QWidget* mainWindow) {
    static QtDesktop qtDesktop;
    qtDesktop.SetMainWindow(mainWindow);
    desktop::Install(&qtDesktop);
}
