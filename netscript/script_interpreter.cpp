#include "netscript/script_interpreter.h"

#include "netscript/loriant_parser.h"

CLoriantParser::CLoriantParser(ViewServices* view)
    : interpreter_(std::make_unique<LoriantInterpreter>(view)),
      runState(interpreter_->runState),
      errorText(interpreter_->errorText) {}

CLoriantParser::~CLoriantParser() = default;

void CLoriantParser::SetSource(const std::string& text) { interpreter_->SetSource(text); }
int CLoriantParser::Compile(const int options[4]) { return interpreter_->Compile(options); }
void CLoriantParser::EndCheckPassByStop() { interpreter_->EndCheckPassByStop(); }
bool CLoriantParser::CreateThread() { return interpreter_->CreateThread(); }
void CLoriantParser::WaitFinished() { interpreter_->WaitFinished(); }
bool CLoriantParser::Started() const { return interpreter_->Started(); }
bool CLoriantParser::Finished() const { return interpreter_->Finished(); }
void CLoriantParser::BuildHelpTree(HelpTreeTarget& tree) { interpreter_->BuildHelpTree(tree); }
