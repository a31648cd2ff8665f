// CChildFrame: the window of one script document: the tree on the left, the editor over the output
// pane on the right. It wires the three panes, keeps the output pane's height while it is resized,
// moves the focus from pane to pane, forwards the run commands to the editor whatever pane has the
// focus, and refuses to close while its script runs.
#pragma once

#include <QMdiSubWindow>

class CKestrumDoc;
class CKestrumView;
class CLeftView;
class COutputPane;
class QSplitter;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    static constexpr int kMinimumHeight = 400;

    explicit CChildFrame(CKestrumDoc* document, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CKestrumDoc* Document() const { return document_; }
    CKestrumView* EditorView() const { return view_; }
    CLeftView* TreeView() const { return tree_; }
    COutputPane* OutputPane() const { return pane_; }
    QSplitter* InnerSplitter() const { return inner_; }

    // This frame became the active one: the toolbar shows its run state, the editor (the frame
    // itself while minimised) has the focus.
    void OnMDIActivate();
    // The window's title: the document's, with ":n" when the document has several frames.
    void UpdateTitle(int number, int of);

public Q_SLOTS:
    void OnCompile();
    void OnRun();
    void OnPause();
    void OnResume();
    void OnStop();
    void OnToggleStructureWindow();
    void OnToggleChartWindows();
    // Tree -> editor -> output pane (when enabled, else the tree) -> tree.
    void OnNextPane();
    // The other way round.
    void OnPrevPane();
    // Moves the bar beside the pane with the focus (the editor's when no pane has it) from the
    // keyboard.
    void OnSplit();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Forward(const char* command);
    void FocusPane(QWidget* pane);

    CKestrumDoc* document_;
    QSplitter* outer_;
    QSplitter* inner_;
    CLeftView* tree_;
    CKestrumView* view_;
    COutputPane* pane_;
    bool placed_ = false;
};
