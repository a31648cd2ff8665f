#include "shell/commands.h"

#include <QSet>

namespace cmd {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {kFileNew, "&New\tCtrl+N", "Create a new document\nNew"},
        {kFileOpen, "&Open...\tCtrl+O", "Open an existing document\nOpen"},
        {kFileClose, "&Close", "Close the active document\nClose"},
        {kFileSave, "&Save\tCtrl+S", "Save the active document\nSave"},
        {kFileSaveAs, "Save &As...", "Save the active document with a new name\nSave As"},
        {kFileMru, "Recent File", "Open this document"},
        {kAppExit, "E&xit", "Quit the application; prompts to save documents\nExit"},
        {kFilePrint, "", "Print the active document\nPrint"},
        {kEditUndo, "&Undo\tCtrl+Z", "Undo the last action\nUndo"},
        {kEditCut, "Cu&t\tCtrl+X", "Cut the selection and put it on the Clipboard\nCut"},
        {kEditCopy, "&Copy\tCtrl+C", "Copy the selection and put it on the Clipboard\nCopy"},
        {kEditPaste, "&Paste\tCtrl+V", "Insert Clipboard contents\nPaste"},
        {kEditPasteSpecial, "Paste &Special...", "Insert Clipboard contents with options\nPaste Special"},
        {kEditSelectAll, "Select A&ll\tCtrl+A", "Select the entire document\nSelect All"},
        {kEditFind, "&Find...\tCtrl+F", "Find the specified text\nFind"},
        {kEditFindNext, "F&ind Next\tF3", "Repeat the last action\nRepeat"},
        {kEditReplace, "R&eplace\tCtrl+H", "Replace specific text with different text\nReplace"},
        {kOleInsertNew, "Insert &New Object...", "Insert new embedded object\nNew Object"},
        {kOleEditLinks, "Lin&ks...", "Edit linked objects\nEdit Links"},
        {kOleProperties, "Object P&roperties\tAlt+Enter", "Edit properties of the selected object\nObject Properties"},
        {kOleVerbFirst, "&Object", "Activate embedded or linked object"},
        {kViewToolbar, "&Toolbar", "Show or hide the toolbar\nToggle ToolBar"},
        {kViewStatusBar, "&Status Bar", "Show or hide the status bar\nToggle StatusBar"},
        {kWindowSplit, "S&plit", "Split the active window into panes\nSplit"},
        {kWindowNew, "&New Window", "Open another window for the active document\nNew Window"},
        {kWindowCascade, "&Cascade", "Arrange windows so they overlap\nCascade Windows"},
        {kWindowTile, "&Tile", "Arrange windows as non-overlapping tiles\nTile Windows"},
        {kWindowArrange, "&Arrange Icons", "Arrange icons at the bottom of the window\nArrange Icons"},
        {kHelpWebOnline, "&Help Web-site (Online)", "Open Help Web-site (Online)\nHelp Web-site (Online)"},
        {kHelpWebOffline, "&Help Web-site (Offline)", "Open Help Web-site (Offline)\nHelp Web-site (Offline)"},
        {kAppAbout, "&About Kestrum...", "Display program information, version number and copyright\nAbout"},
        {kHelp, "", "Display help for current task or command\nHelp"},
        {kContextHelp, "", "Display help for clicked on buttons, menus and windows\nHelp"},
        {kNextPane, "", "Switch to the next window pane\nNext Pane"},
        {kPrevPane, "", "Switch back to the previous window pane\nPrevious Pane"},
        {kEscape, "", ""},
        {kPause, "", "Pause the running program\nPause Program: <Pause>"},
        {kStop, "", "Stop the running program\nStop Program: <Ctrl+Break> "},
        {kRun, "", "Run the program\nRun Program: <F5> , <F6> , <F7> , <F9> , <Ctrl+F5>"},
        {kCompile, "", "Compile Program Source\nCompile Program: <Shift+F5>"},
        {kNextPaneFrame, "", "Go to next window\nNext pane: <Ctrl+Tab>"},
        {kToggleStructure, "", "Toggle Neural Network Structure Window: <F12>\nToggle Structure Window: <F12>"},
        {kResume, "", "Resume Current Paused Program\nResume program"},
        {kToggleCharts, "", "Toggle Chart Windows:<F11>\nToggle Chart Windows:<F11>"},
    };
    return commands;
}

const Command* Find(int id) {
    for (const Command& command : Commands()) {
        if (command.id == id) return &command;
    }
    return nullptr;
}

// Break arrives from X11 as Pause: Ctrl+Break is Ctrl+Pause, Ctrl+Alt+Break is Ctrl+Alt+Pause.
const std::vector<Accelerator>& AcceleratorTable() {
    static const std::vector<Accelerator> table = {
        {QKeySequence(Qt::Key_Escape), kEscape},
        {QKeySequence(Qt::SHIFT | Qt::Key_F1), kContextHelp},
        {QKeySequence(Qt::CTRL | Qt::Key_C), kEditCopy},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), kEditCopy},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), kEditCut},
        {QKeySequence(Qt::CTRL | Qt::Key_X), kEditCut},
        {QKeySequence(Qt::CTRL | Qt::Key_F), kEditFind},
        {QKeySequence(Qt::CTRL | Qt::Key_V), kEditPaste},
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), kEditPaste},
        {QKeySequence(Qt::Key_F3), kEditFindNext},
        {QKeySequence(Qt::CTRL | Qt::Key_H), kEditReplace},
        {QKeySequence(Qt::CTRL | Qt::Key_A), kEditSelectAll},
        {QKeySequence(Qt::ALT | Qt::Key_Backspace), kEditUndo},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), kEditUndo},
        {QKeySequence(Qt::CTRL | Qt::Key_N), kFileNew},
        {QKeySequence(Qt::CTRL | Qt::Key_O), kFileOpen},
        {QKeySequence(Qt::CTRL | Qt::Key_S), kFileSave},
        {QKeySequence(Qt::Key_F1), kHelp},
        {QKeySequence(Qt::Key_F6), kNextPane},
        {QKeySequence(Qt::ALT | Qt::Key_Return), kOleProperties},
        {QKeySequence(Qt::SHIFT | Qt::Key_F6), kPrevPane},
        {QKeySequence(Qt::SHIFT | Qt::Key_F5), kCompile},
        {QKeySequence(Qt::Key_Pause), kPause},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Pause), kResume},
        {QKeySequence(Qt::Key_F5), kRun},
        {QKeySequence(Qt::CTRL | Qt::Key_F5), kRun},
        {QKeySequence(Qt::Key_F6), kRun},  // never reached: F6 is Next Pane above
        {QKeySequence(Qt::Key_F7), kRun},
        {QKeySequence(Qt::Key_F9), kRun},
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), kNextPaneFrame},
        {QKeySequence(Qt::Key_F12), kToggleStructure},
        {QKeySequence(Qt::CTRL | Qt::Key_Pause), kStop},
        {QKeySequence(Qt::Key_F11), kToggleCharts},
    };
    return table;
}

std::vector<QKeySequence> KeysOf(int id) {
    std::vector<QKeySequence> keys;
    QSet<QKeySequence> taken;
    for (const Accelerator& accelerator : AcceleratorTable()) {
        if (taken.contains(accelerator.key)) continue;
        taken.insert(accelerator.key);
        if (accelerator.id == id) keys.push_back(accelerator.key);
    }
    return keys;
}

int CommandOfKey(const QKeySequence& key) {
    for (const Accelerator& accelerator : AcceleratorTable()) {
        if (accelerator.key == key) return accelerator.id;
    }
    return 0;
}

int CommandOfKeyEvent(const QKeyEvent& event) {
    constexpr quint32 kBreakKeysym = 0xff6b;
    if (event.key() == 0 && event.nativeVirtualKey() == kBreakKeysym) {
        return CommandOfKey(QKeySequence(QKeyCombination(event.modifiers(), Qt::Key_Pause)));
    }
    return CommandOfKey(QKeySequence(event.keyCombination()));
}

QString StatusText(const Command& command) { return command.prompt.section('\n', 0, 0); }

QString ToolTip(const Command& command) {
    return command.prompt.contains('\n') ? command.prompt.section('\n', 1) : QString();
}

}  // namespace cmd
