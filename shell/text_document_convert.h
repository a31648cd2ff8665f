// The editor's QTextDocument and the toolkit-free document model that the RTF reader and writer
// use, each to the other.
#pragma once

#include "platform/rich_document.h"

class QTextDocument;

// Replaces the whole content of target; the undo history is cleared and the document left
// unmodified.
void FillTextDocument(QTextDocument& target, const rich::Document& source);

// Formats the document leaves unset are taken from its default font.
rich::Document ToRichDocument(const QTextDocument& source);
