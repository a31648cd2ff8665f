#include "host/script_runner.h"

#include <algorithm>
#include <new>

#include "interpreter/tessel_parser.h"
#include "netscript/script_interpreter.h"
#include "platform/cp1256.h"
#include "platform/desktop.h"

SourcePlace PlaceOf(const std::string& text, int position) {
    SourcePlace place;
    int end = std::clamp(position, 0, static_cast<int>(text.size()));
    for (int i = 0; i < end; ++i) {
        if (text[static_cast<std::size_t>(i)] == '\n') {
            ++place.line;
            place.column = 1;
        } else {
            ++place.column;
        }
    }
    return place;
}

void ScriptRunner::ReportHighlightedWord(const std::string& scriptText, const std::string& fileName) {
    int start = view_.SelectionStart();
    if (start < 0 || !errors_) return;
    SourcePlace place = PlaceOf(scriptText, start);
    int length = std::max(0, view_.SelectionLength());
    std::string word = start < static_cast<int>(scriptText.size())
                           ? scriptText.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length))
                           : std::string();
    std::fprintf(errors_, "%s:%d:%d: %s\n", fileName.c_str(), place.line, place.column,
                 cp1256::ToUtf8(word).c_str());
}

int ScriptRunner::Execute(const std::string& scriptText, const RunOptions& options) {
    try {
        return CheckAndRun(scriptText, options);
    } catch (const std::bad_alloc&) {
        // The interpreter reports memory that runs out within a statement; this is what comes
        // before the statements: the text's copy, the tables, the pre-scan of the subroutines.
        Report(options.file, "not enough memory to check the script");
        return kExitScriptError;
    }
}

void ScriptRunner::Report(const std::string& fileName, const std::string& message) {
    if (errors_) std::fprintf(errors_, "%s: %s\n", fileName.c_str(), message.c_str());
}

int ScriptRunner::CheckAndRun(const std::string& scriptText, const RunOptions& options) {
    desktop::Console().SetYesNoAnswer(options.answerYes);
    desktop::Console().SetSelectedFile(options.selectFile);

    ScriptInterpreter parser(&view_);
    parser.SetSource(scriptText);
    view_.OutputText("Compiling...", 0, 0, 0, 1);
    const int checkOnly[4] = {1, 0, 0, 0};
    if (!parser.Compile(checkOnly)) {
        ReportHighlightedWord(scriptText, options.file);
        // Some failures leave no message in the pane (an expression cut off by the end of the text).
        const bool stopped = parser.runState == kStoppedByUser;
        if (view_.PaneEmpty() && !stopped) Report(options.file, "the check failed at the end of the text");
        return stopped ? kExitStoppedByUser : kExitScriptError;
    }
    // A stop that came as the pass ended (which clears the run flags) still stops.
    if (view_.StopEverRequested()) {
        parser.EndCheckPassByStop();
        return kExitStoppedByUser;
    }
    if (options.checkOnly) {
        desktop::Current().Beep(desktop::kIconAsterisk);
        view_.OutputText("Compile Successful.", 0, 0, 0, 0);
        return kExitOk;
    }

    view_.running = 1;
    if (!parser.CreateThread()) {
        view_.ResetRunFlags();
        Report(options.file, "the run could not start: its thread needs " +
                                 std::to_string(ParserThread::kStackBytes >> 20) +
                                 " MiB of address space for its stack (see ulimit -v)");
        return kExitScriptError;
    }
    parser.WaitFinished();

    switch (parser.runState) {
        case kStoppedByUser: return kExitStoppedByUser;
        case kEndedByError:
            ReportHighlightedWord(scriptText, options.file);
            return kExitScriptError;
        default: return parser.errorText.empty() ? kExitOk : kExitScriptError;
    }
}
