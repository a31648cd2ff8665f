// Run control: the worker thread, the check pass, the preparation of every pass, the run loop,
// the end of a run with its end line, error reporting, the interruptible wait, the running state
// shown in the editor, and the nesting limit that keeps deep scripts off the end of the stack.
#include <pthread.h>

#include <algorithm>
#include <new>
#include <thread>

#include "interpreter/messages.h"
#include "interpreter/tessel_parser.h"
#include "platform/crt_file.h"
#include "platform/crt_runtime.h"
#include "platform/desktop.h"

namespace {

constexpr std::uint32_t kRunningBackground = 0xFFBEBE;  // red 0xBE, green 0xBE, blue 0xFF
const char kNestingTooDeep[] = " Runtime Error : Nesting Too Deep.";

const char* EndLine(int runState) {
    switch (runState) {
        case kStoppedByUser: return "Program Terminated  By User.";
        case kEndedByExit: return "Program Terminated  By \"Exit\".";
        case kEndedByStopProgram: return "Program Terminated  By \"StopProgram\".";
        case kEndedByError: return "Program Terminated  By ERROR.";
        default: return nullptr;
    }
}

static_assert(sizeof(pthread_t) <= sizeof(unsigned long), "pthread_t must fit the handle field");

}  // namespace

// ---------- ParserThread ----------

ParserThread::ParserThread(ViewServices* owner) : owner_(owner) {}

ParserThread::~ParserThread() { WaitFinished(); }

bool ParserThread::CreateThread() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (started_ && !finished_.load()) return false;  // one worker at a time
        if (thread_ != 0) {                               // an ended worker not yet joined
            pthread_join(static_cast<pthread_t>(thread_), nullptr);
            thread_ = 0;
        }
        finished_ = false;
        started_ = true;
    }
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, kStackBytes);
    pthread_t id{};
    const int rc = pthread_create(&id, &attr, &ParserThread::ThreadMain, this);
    pthread_attr_destroy(&attr);
    std::lock_guard<std::mutex> lock(mutex_);
    if (rc != 0) {
        started_ = false;
        finished_ = true;
        return false;
    }
    thread_ = static_cast<unsigned long>(id);
    return true;
}

void* ParserThread::ThreadMain(void* self) {
    auto* thread = static_cast<ParserThread*>(self);
    thread->InitInstance();
    thread->Delete();
    return nullptr;
}

void ParserThread::Delete() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    finishedSignal_.notify_all();
}

void ParserThread::WaitFinished() {
    unsigned long thread = 0;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!started_) return;
        finishedSignal_.wait(lock, [this] { return finished_.load(); });
        thread = thread_;
        thread_ = 0;
    }
    if (thread != 0) pthread_join(static_cast<pthread_t>(thread), nullptr);
}

// ---------- the check pass and the run ----------

int CTesselParser::Compile(const int /*options*/[4]) {
    BeginRun(0);
    if (!SetRunMode(0)) {
        SetRunning(0);
        if (StoppedInCheckPass()) EndCheckPassByStop();
        return 0;
    }
    const std::string suffix = PushScope("main", ++scopeCounters[kMain]);
    int ok = 0;
    try {
        ok = ExecuteBlock(0, kBlockWholeScript);
    } catch (const std::bad_alloc&) {
        FailOutOfMemoryInPass();
    }
    PopScope(suffix);
    // A stop makes every later word the end of the text, so the block ends "successfully": the
    // pass was not finished all the same.
    if (StoppedInCheckPass()) {
        EndCheckPassByStop();
        return 0;
    }
    // An error that was reported while the block still ended at the end of the text (a word over
    // the length limit, an unclosed comment in a string) is a failure all the same.
    if (!errorText.empty() || runState == kEndedByError) ok = 0;
    if (ok) return EndRun(0);

    execute = 0;
    SetRunning(0);
    view->ResetRunFlags();
    if (!errorText.empty()) {
        const std::string stored = errorText;
        ReportError(-1, LastTokenStart(), LastTokenLength(), stored);
        errorText = stored;
        execute = 0;
        runState = kEndedByError;
    }
    return 0;
}

bool CTesselParser::StoppedInCheckPass() const {
    return view->stopRequested.load() || runState == kStoppedByUser;
}

// The pane shows why the pass ended, as after a stopped run.
void CTesselParser::EndCheckPassByStop() {
    execute = 0;
    runState = kStoppedByUser;
    SetRunning(0);
    view->ResetRunFlags();
    view->OutputText(EndLine(kStoppedByUser), 1, 1, 1, 0);
}

int CTesselParser::BeginRun(int /*executeFlag*/) {
    if (running) {
        desktop::Current().Beep(desktop::kIconHand);
        return 0;
    }
    SetRunning(1);
    textLength = sourceLength_;
    view->OutputText(std::string(), 0, 0, 0, 0);
    runState = kRunning;
    return 1;
}

int CTesselParser::SetRunMode(int executeFlag) {
    execute = executeFlag;
    if (!PrescanSubroutines()) return 0;
    ResetRun();
    return 1;
}

int CTesselParser::InitInstance() {
    BeginRun(1);
    SetRunMode(1);
    for (;;) {
        if (view->stopRequested.load()) {
            runState = kStoppedByUser;
            break;
        }
        if (!errorText.empty() || !running || currentToken == token::kEnd || runState != kRunning) break;
        try {
            ExecuteNextStatement();
        } catch (const std::bad_alloc&) {
            FailOutOfMemoryInPass();
        }
    }
    EndRun(1);
    view->ResetRunFlags();
    view->UpdateRunButtons();
    if (!errorText.empty()) view->CloseStructureWindow();
    return 0;
}

int CTesselParser::EndRun(int executeFlag) {
    // Files still open: each distinct handle is closed once, and every record lets go of it.
    const std::vector<Value::Payload*> open = OpenFileSlots(0, variables.GetCount());
    for (Value::Payload* slot : open) {
        crt::CrtFile* file = slot->file;
        if (file == nullptr) continue;  // closed with an earlier element
        if (!file->Close()) LoseWrittenData();
        delete file;
        for (Value::Payload* other : open)
            if (other->file == file) other->file = nullptr;
    }
    SetRunning(0);
    view->ResetRunFlags();
    if (wavePlaying) desktop::Current().StopWave();
    if (const char* line = EndLine(runState)) view->OutputText(line, 1, 1, 1, 0);
    if (!errorText.empty()) view->OutputText(errorText, 1, 1, 1, 0);
    execute = 0;
    wavePlaying = 0;
    CutVariables(0);
    // The run after a check declares the same variables again: it reuses their storage.
    if (executeFlag)
        variables.RemoveAll();
    else
        variables.Empty();
    ClearObjectVariables(executeFlag);
    return 1;
}

// ---------- errors ----------

// A file of the script could not be flushed at its end: the run did not do what it says.
void CTesselParser::LoseWrittenData() {
    if (execute) FailWith(message::kCannotWriteFile);
}

// Messages are passed on whole, whatever their length (they are std::string throughout).
void CTesselParser::ReportError(int expectedCode, int start, int length, const std::string& text) {
    if (view->stopRequested.load()) return;
    view->SelectSource(start, length);
    std::string message;
    if (expectedCode >= 0) {
        const std::string expected =
            expectedCode < keywords.GetCount() ? keywords[expectedCode].word : std::string();
        message = "   Expected :  \"  " + expected + "  \"   ";
    } else {
        message = text;
    }
    if (execute)
        errorText = message;
    else
        view->OutputText(message, 0, 0, 0, 0);
}

int CTesselParser::FailWith(const std::string& text) { return FailWithAt(text, LastTokenStart(), LastTokenLength()); }

int CTesselParser::FailWithAt(const std::string& text, int start, int length) {
    if (view->stopRequested.load()) {
        runState = kStoppedByUser;
        return 0;
    }
    // The first error of a pass is the one shown: callers unwinding after it report nothing more
    // (reading has ended for them, as after a stop).
    if (runState == kEndedByError) return 0;
    ReportError(-1, start, length, text);
    errorText = text;
    execute = 0;
    runState = kEndedByError;
    return 0;
}

int CTesselParser::FailExpected(int keywordCode) {
    // A stop makes every later token the end of the text; the missing word is then no error.
    if (view->stopRequested.load()) {
        runState = kStoppedByUser;
        return 0;
    }
    if (runState == kEndedByError) return 0;
    ReportError(keywordCode, LastTokenStart(), LastTokenLength(), std::string());
    execute = 0;
    runState = kEndedByError;
    return 0;
}

// Memory ran out somewhere in a statement that no bound or table caught: the pass ends with an
// error, and the run with its end line and its files closed, rather than the process with an abort.
void CTesselParser::FailOutOfMemoryInPass() {
    nestingDepth = 0;
    FailWith(message::kNotEnoughMemory);
}

bool CTesselParser::ReportNestingTooDeep() {
    FailWith(kNestingTooDeep);
    return false;
}

// ---------- waiting and the running state ----------

void CTesselParser::WaitMilliseconds(long milliseconds) {
    const long start = crt::Clock();
    if (crt::Clock() - start >= milliseconds) return;
    const long slice = milliseconds < 100000 ? milliseconds / 100 : 1000;
    do {
        if (slice > 0)
            crt::SleepMilliseconds(slice);
        else
            std::this_thread::yield();
        if (view->stopRequested.load()) return;
    } while (crt::Clock() - start < milliseconds);
}

void CTesselParser::SetRunning(int flag) {
    running = flag;
    if (!idleColourKnown) {
        // Setting a colour answers the previous one: that is the editor's idle colour.
        idleColour = view->SetEditorBackground(kRunningBackground);
        view->SetEditorBackground(idleColour);
        idleColourKnown = true;
    }
    view->SetEditorBackground(flag ? kRunningBackground : idleColour);
    view->SetEditorReadOnly(flag != 0);
}
