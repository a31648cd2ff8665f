// The editor's text as the interpreter reads it: code page 1256, one byte per character, one "\n"
// per line end; a character the code page lacks becomes "?". Byte positions are editor positions,
// except after a character that the editor counts twice (outside the Basic Multilingual Plane):
// the map below turns a byte position back into an editor position.
#pragma once

#include <QString>
#include <string>
#include <vector>

class QTextDocument;

// Interpreter text (code page 1256) to what a window shows, and back ("?" for what it lacks).
QString FromScriptText(const std::string& cp1256Text);
std::string ToScriptText(const QString& text);

class SourceText {
public:
    SourceText() = default;
    // raw: the document's text with its own separators (QTextDocument::toRawText).
    static SourceText FromRawText(const QString& raw);
    static SourceText FromDocument(const QTextDocument& document);

    const std::string& Bytes() const { return bytes_; }
    // The editor position of a byte position (positions past the end keep their distance to it).
    int EditorPosition(int bytePosition) const;

private:
    std::string bytes_;
    // Editor position of each byte and of the end; empty while the two are the same.
    std::vector<int> editorPositions_;
};
