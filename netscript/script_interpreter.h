// The interpreter as the desktop and the console host see it: a script's text, the check pass,
// the run on its own worker thread, how the run ended, and the language's help tree. The
// interpreter itself (tables, lexer, scan cache, name index, compiled regions, network words) lives
// behind it in CLoriantParser (loriant_parser.h).
#pragma once

#include <memory>
#include <string>

#include "interpreter/keyword_catalogue.h"
#include "interpreter/run_state.h"

class CLoriantParser;
class ViewServices;

// One object per check pass and run, as the interpreter itself: given the text, checked, then run.
class ScriptInterpreter {
public:
    explicit ScriptInterpreter(ViewServices* view);
    ~ScriptInterpreter();
    ScriptInterpreter(const ScriptInterpreter&) = delete;
    ScriptInterpreter& operator=(const ScriptInterpreter&) = delete;

    void SetSource(const std::string& text);
    // The check pass (options as the editor gives them); 1 success, 0 failure (reported).
    int Compile(const int options[4]);
    // A stop that arrived as the check pass ended: the pass is reported as stopped.
    void EndCheckPassByStop();
    // Starts the run on its worker; the owner waits for Finished() before deleting the object.
    bool CreateThread();
    void WaitFinished();
    bool Started() const;
    bool Finished() const;
    // The language's help branch.
    void BuildHelpTree(HelpTreeTarget& tree);

private:
    std::unique_ptr<CLoriantParser> interpreter_;

public:
    const int& runState;           // a RunState
    const std::string& errorText;  // the run's error message; empty for none
};
