#include "shell/find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

#include "platform/desktop.h"

CFindDialog::CFindDialog(std::function<QTextEdit*()> target, QWidget* parent)
    : QDialog(parent), target_(std::move(target)) {
    findWhat_ = new QLineEdit(this);
    replaceWith_ = new QLineEdit(this);
    matchCase_ = new QCheckBox("Match &case", this);
    wholeWord_ = new QCheckBox("Match &whole word only", this);
    up_ = new QCheckBox("Search &up", this);
    auto* findNext = new QPushButton("&Find Next", this);
    replace_ = new QPushButton("&Replace", this);
    replaceAll_ = new QPushButton("Replace &All", this);
    auto* cancel = new QPushButton("Cancel", this);
    auto* findLabel = new QLabel("Fi&nd what:", this);
    findLabel->setBuddy(findWhat_);
    auto* replaceLabel = new QLabel("Re&place with:", this);
    replaceLabel->setBuddy(replaceWith_);
    replaceLabel_ = replaceLabel;
    findNext->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(findWhat_, 0, 1);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(replaceWith_, 1, 1);
    grid->addWidget(wholeWord_, 2, 0, 1, 2);
    grid->addWidget(matchCase_, 3, 0, 1, 2);
    grid->addWidget(up_, 4, 0, 1, 2);
    grid->addWidget(findNext, 0, 2);
    grid->addWidget(replace_, 1, 2);
    grid->addWidget(replaceAll_, 2, 2);
    grid->addWidget(cancel, 3, 2);

    connect(findNext, &QPushButton::clicked, this, &CFindDialog::FindNext);
    connect(replace_, &QPushButton::clicked, this, &CFindDialog::ReplaceCurrent);
    connect(replaceAll_, &QPushButton::clicked, this, &CFindDialog::ReplaceAll);
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

void CFindDialog::Open(Mode mode) {
    const bool replacing = mode == Mode::kReplace;
    setWindowTitle(replacing ? "Replace" : "Find");
    for (QWidget* w : {replaceLabel_, static_cast<QWidget*>(replaceWith_), static_cast<QWidget*>(replace_),
                       static_cast<QWidget*>(replaceAll_)}) {
        w->setVisible(replacing);
    }
    up_->setVisible(!replacing);
    if (QTextEdit* editor = target_()) {
        const QString selected = editor->textCursor().selectedText();
        if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator)) findWhat_->setText(selected);
    }
    adjustSize();
    show();
    raise();
    activateWindow();
    findWhat_->setFocus();
    findWhat_->selectAll();
}

QTextDocument::FindFlags CFindDialog::Flags() const {
    QTextDocument::FindFlags flags;
    if (matchCase_->isChecked()) flags |= QTextDocument::FindCaseSensitively;
    if (wholeWord_->isChecked()) flags |= QTextDocument::FindWholeWords;
    if (up_->isVisible() && up_->isChecked()) flags |= QTextDocument::FindBackward;
    return flags;
}

bool CFindDialog::FindNext() {
    QTextEdit* editor = target_();
    if (editor == nullptr || findWhat_->text().isEmpty()) {
        desktop::Current().Beep(desktop::kOk);
        return false;
    }
    const QTextCursor found = editor->document()->find(findWhat_->text(), editor->textCursor(), Flags());
    if (found.isNull()) {
        desktop::Current().Beep(desktop::kOk);
        return false;
    }
    editor->setTextCursor(found);
    return true;
}

bool CFindDialog::SelectionMatches(QTextEdit* editor) const {
    const Qt::CaseSensitivity cs = matchCase_->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return editor->textCursor().selectedText().compare(findWhat_->text(), cs) == 0;
}

// Replaces the found text under the caret, then finds the next one.
bool CFindDialog::ReplaceCurrent() {
    QTextEdit* editor = target_();
    if (editor == nullptr || editor->isReadOnly()) return false;
    if (SelectionMatches(editor)) editor->textCursor().insertText(replaceWith_->text());
    return FindNext();
}

int CFindDialog::ReplaceAll() {
    QTextEdit* editor = target_();
    if (editor == nullptr || editor->isReadOnly() || findWhat_->text().isEmpty()) return 0;
    QTextDocument* document = editor->document();
    const QTextDocument::FindFlags flags = Flags() & ~QTextDocument::FindBackward;
    QTextCursor edit(document);
    edit.beginEditBlock();
    int count = 0;
    QTextCursor found = document->find(findWhat_->text(), 0, flags);
    while (!found.isNull()) {
        found.insertText(replaceWith_->text());
        ++count;
        found = document->find(findWhat_->text(), found, flags);
    }
    edit.endEditBlock();
    if (count == 0) desktop::Current().Beep(desktop::kOk);
    return count;
}
