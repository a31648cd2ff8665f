// CFindDialog: the small modeless Find and Replace dialogs of the editor. It works on whatever
// text editor the target function names when a button is pressed (the active document's), and
// remembers the last search for Find Next.
#pragma once

#include <QDialog>
#include <QTextDocument>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTextEdit;

class CFindDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { kFind, kReplace };

    CFindDialog(std::function<QTextEdit*()> target, QWidget* parent = nullptr);

    // Shows the dialog in the mode, with the editor's selection as the text to find.
    void Open(Mode mode);
    // Searches again for the last text from the caret; false (and a beep) when it is not found
    // or nothing was searched yet.
    bool FindNext();
    bool ReplaceCurrent();
    int ReplaceAll();

    QLineEdit* FindField() const { return findWhat_; }
    QLineEdit* ReplaceField() const { return replaceWith_; }
    QCheckBox* MatchCase() const { return matchCase_; }

private:
    QTextDocument::FindFlags Flags() const;
    bool SelectionMatches(QTextEdit* editor) const;

    std::function<QTextEdit*()> target_;
    QLineEdit* findWhat_;
    QLineEdit* replaceWith_;
    QCheckBox* matchCase_;
    QCheckBox* wholeWord_;
    QCheckBox* up_;
    QPushButton* replace_;
    QPushButton* replaceAll_;
    QWidget* replaceLabel_;
};
