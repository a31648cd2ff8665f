#include "shell/edit_commands.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "shell/kestrum_view.h"

namespace {

// What the commands ask of a text widget, whichever kind it is.
struct TextState {
    bool writable = false;
    bool hasSelection = false;
    bool hasText = false;
    bool undoAvailable = false;
};

// An editor whose document a run holds takes no change, whatever its own flag says yet.
bool Writable(const QTextEdit& edit) {
    const auto* view = qobject_cast<const CKestrumView*>(&edit);
    return !edit.isReadOnly() && (view == nullptr || !view->TextHeldByRun());
}

bool ClipboardHasText() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data != nullptr && data->hasText();
}

TextState StateOf(const QWidget* target, bool& canPaste) {
    TextState state;
    canPaste = false;
    if (const auto* edit = qobject_cast<const QTextEdit*>(target)) {
        state = {Writable(*edit), edit->textCursor().hasSelection(), !edit->document()->isEmpty(),
                 edit->document()->isUndoAvailable() && edit->isUndoRedoEnabled()};
        canPaste = state.writable && edit->canPaste();
    } else if (const auto* plain = qobject_cast<const QPlainTextEdit*>(target)) {
        state = {!plain->isReadOnly(), plain->textCursor().hasSelection(), !plain->document()->isEmpty(),
                 plain->document()->isUndoAvailable() && plain->isUndoRedoEnabled()};
        canPaste = state.writable && plain->canPaste();
    } else if (const auto* line = qobject_cast<const QLineEdit*>(target)) {
        state = {!line->isReadOnly(), line->hasSelectedText(), !line->text().isEmpty(), line->isUndoAvailable()};
        canPaste = state.writable && ClipboardHasText();
    }
    return state;
}

}  // namespace

bool IsEditTarget(const QWidget* widget) {
    return qobject_cast<const QTextEdit*>(widget) != nullptr || qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
           qobject_cast<const QLineEdit*>(widget) != nullptr;
}

bool CanPasteSpecial(const QTextEdit* editor) {
    if (editor == nullptr || !Writable(*editor)) return false;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data != nullptr && (data->hasHtml() || data->hasText());
}

EditCommandStates EditCommandStatesFor(const QWidget* target, const QTextEdit* editor, const QString& findText) {
    EditCommandStates can;
    const TextState text = StateOf(target, can.paste);
    can.undo = text.writable && text.undoAvailable;
    can.cut = text.writable && text.hasSelection;
    can.copy = text.hasSelection;
    can.selectAll = text.hasText;
    can.pasteSpecial = CanPasteSpecial(editor);
    can.find = editor != nullptr && !editor->document()->isEmpty();
    can.findNext = can.find && !findText.isEmpty();
    can.replace = can.find && Writable(*editor);
    return can;
}
