// The shell's commands: their ids, menu texts, prompts (status text, "\n", tool tip) and the
// accelerator table. A key that stands twice in the table belongs to its first entry.
#pragma once

#include <QKeyEvent>
#include <QKeySequence>
#include <QString>
#include <vector>

namespace cmd {

enum Id : int {
    kEscape = 32768,  // the Esc accelerator's command; nothing handles it
    kPause = 32772,
    kStop = 32773,
    kRun = 32774,
    kCompile = 32780,
    kNextPaneFrame = 32783,
    kToggleStructure = 32786,
    kResume = 32792,
    kToggleCharts = 32795,
    kHelpWebOnline = 7617,
    kHelpWebOffline = 7618,
    kFileNew = 57600,
    kFileOpen = 57601,
    kFileClose = 57602,
    kFileSave = 57603,
    kFileSaveAs = 57604,
    kFilePrint = 57607,
    kFileMru = 57616,
    kEditCopy = 57634,
    kEditCut = 57635,
    kEditFind = 57636,
    kEditPaste = 57637,
    kEditPasteSpecial = 57639,
    kEditFindNext = 57640,
    kEditReplace = 57641,
    kEditSelectAll = 57642,
    kEditUndo = 57643,
    kWindowNew = 57648,
    kWindowArrange = 57649,
    kWindowCascade = 57650,
    kWindowTile = 57651,
    kWindowSplit = 57653,
    kAppAbout = 57664,
    kAppExit = 57665,
    kContextHelp = 57669,
    kHelp = 57670,
    kNextPane = 57680,
    kPrevPane = 57681,
    kOleInsertNew = 57856,
    kOleEditLinks = 57857,
    kOleProperties = 57860,
    kOleVerbFirst = 57872,
    kViewToolbar = 59392,
    kViewStatusBar = 59393,
};

struct Command {
    int id;
    QString menuText;  // with its "&" and "\t" key text; empty for toolbar-only commands
    QString prompt;    // status text "\n" tool tip
};

const std::vector<Command>& Commands();
const Command* Find(int id);

struct Accelerator {
    QKeySequence key;
    int id;
};
// The table as written, duplicates included.
const std::vector<Accelerator>& AcceleratorTable();
// The keys each command answers to once the first entry of a key has won.
std::vector<QKeySequence> KeysOf(int id);
// The command a key belongs to (its first entry), 0 for none.
int CommandOfKey(const QKeySequence& key);
// The command of a pressed key, 0 for none. The X keyboard turns Pause with Ctrl into Break, which
// Qt names no key: it counts as Pause.
int CommandOfKeyEvent(const QKeyEvent& event);

// The status-bar text and the tool tip of a prompt.
QString StatusText(const Command& command);
QString ToolTip(const Command& command);

}  // namespace cmd
