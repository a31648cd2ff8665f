// The script of a console run: its document file read and turned into the interpreter's text.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The largest script file that is run. The check pass takes about four bytes of memory for each
// byte of text, and text positions are 32-bit: this keeps a run within a gigabyte and well inside them.
constexpr std::uint64_t kMaxScriptFileBytes = std::uint64_t{256} << 20;

// kExitOk with the text (code page 1256, "\n" line ends); or, after a message on errors, kExitUsage
// for a file that cannot be read, is too large, is malformed or does not fit in memory.
int LoadScriptFile(const std::string& path, std::string& scriptText, std::FILE* errors);
