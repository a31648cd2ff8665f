// Whether each Edit command can act: Undo, Cut, Copy, Paste and Select All on the text widget that
// has the keyboard (the editor, the output pane, the "Simulation:" field); Paste Special, Find,
// Find Next and Replace on the active document's editor. A command that cannot act shows greyed.
#pragma once

#include <QString>

class QTextEdit;
class QWidget;

struct EditCommandStates {
    bool undo = false;
    bool cut = false;
    bool copy = false;
    bool paste = false;
    bool pasteSpecial = false;
    bool selectAll = false;
    bool find = false;
    bool findNext = false;
    bool replace = false;
};

// Whether widget is a text widget that the edit commands act on.
bool IsEditTarget(const QWidget* widget);

// target: the widget with the keyboard, or nullptr; editor: the active document's editor, or
// nullptr; findText: what Find Next looks for.
EditCommandStates EditCommandStatesFor(const QWidget* target, const QTextEdit* editor, const QString& findText);

// Whether Paste Special has something to put into the editor: a writable editor and text or rich
// text on the clipboard.
bool CanPasteSpecial(const QTextEdit* editor);
