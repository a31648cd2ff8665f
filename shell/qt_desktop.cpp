#include "shell/qt_desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
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
#include "shell/source_text.h"

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

// The document window of an owner (the editor view of a running script), if it has one.
QMdiSubWindow* DocumentFrame(void* owner) {
    for (QWidget* w = static_cast<QWidget*>(owner); w != nullptr; w = w->parentWidget()) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(w)) return frame;
    }
    return nullptr;
}

// Keeps a document window's contents from input while its run's dialog is shown, as a modal box
// keeps its owner. The window itself stays enabled, so that it can stay the active one, and the
// main window takes the keyboard from its contents first: the focus that disabling hands on would
// land in another document window, which the main window's next activation (back from another
// application) would then make the active one, over the held window.
void HoldFrameFor(QDialog* box, QMdiSubWindow* frame) {
    QWidget* contents = frame != nullptr ? frame->widget() : nullptr;
    if (contents == nullptr || !contents->isEnabled()) return;
    const QPointer<QWidget> focus = frame->focusWidget();
    QWidget* keyboard = frame->window()->focusWidget();
    const bool active = frame->mdiArea() != nullptr && frame->mdiArea()->activeSubWindow() == frame;
    if (active || (keyboard != nullptr && contents->isAncestorOf(keyboard))) frame->window()->setFocus(Qt::OtherFocusReason);
    contents->setEnabled(false);
    // Let go once, when answered (or gone unanswered): the next box of the run may hold it again.
    const auto held = std::make_shared<bool>(true);
    const auto release = [frame, contents, held, focus] {
        if (!*held) return;
        *held = false;
        contents->setEnabled(true);
        if (focus && frame->mdiArea() != nullptr && frame->mdiArea()->activeSubWindow() == frame) focus->setFocus();
    };
    QObject::connect(box, &QDialog::finished, frame, release);
    QObject::connect(box, &QObject::destroyed, frame, release);
    const QPoint centre = frame->mapToGlobal(frame->rect().center());
    box->move(centre - box->rect().center());
}

// Shows a dialog that make builds (GUI thread) and gives read's reading of it once it is done.
// Asked for by a running script, the dialog belongs to its run: the worker waits for the answer
// while the GUI thread goes on, so dialogs of two documents' runs are each answered on their own
// (a modal loop would nest the later one inside the earlier), and the dialog holds its document
// window as a modal one holds its owner. Asked for in the GUI thread, it is modal to its window.
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
        QDialog* dialog = make();
        dialog->setModal(false);
        QObject::connect(dialog, &QDialog::finished, dialog, [answer, dialog, read](int result) {
            answer->Give(read(*dialog, result));
            dialog->deleteLater();
        });
        QObject::connect(dialog, &QObject::destroyed, [answer, unanswered] { answer->Give(unanswered); });
        dialog->show();
        HoldFrameFor(dialog, DocumentFrame(owner));
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
            return new QMessageBox(IconOf(style), FromScriptText(caption), FromScriptText(text), ButtonsOf(style),
                                   Parent(owner));
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
