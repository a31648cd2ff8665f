#include "netscript/script_interpreter.h"

#include "netscript/loriant_parser.h"

ScriptInterpreter::ScriptInterpreter(ViewServices* view)
    : interpreter_(std::make_unique<CLoriantParser>(view)),
      runState(interpreter_->runState),
      errorText(interpreter_->errorText) {}

ScriptInterpreter::~ScriptInterpreter() = default;

void ScriptInterpreter::SetSource(const std::string& text) { interpreter_->SetSource(text); }
int ScriptInterpreter::Compile(const int options[4]) { return interpreter_->Compile(options); }
void ScriptInterpreter::EndCheckPassByStop() { interpreter_->EndCheckPassByStop(); }
bool ScriptInterpreter::CreateThread() { return interpreter_->CreateThread(); }
void ScriptInterpreter::WaitFinished() { interpreter_->WaitFinished(); }
bool ScriptInterpreter::Started() const { return interpreter_->Started(); }
bool ScriptInterpreter::Finished() const { return interpreter_->Finished(); }
void ScriptInterpreter::BuildHelpTree(HelpTreeTarget& tree) { interpreter_->BuildHelpTree(tree); }
