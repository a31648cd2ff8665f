// CKestrumApp: the application object. Start-up makes the main frame, registers the document
// type with the user's desktop and shows the splash; every event passes the splash first.
#pragma once

#include <QApplication>
#include <memory>

class CMainFrame;

class CKestrumApp : public QApplication {
    Q_OBJECT
public:
    CKestrumApp(int& argc, char** argv);
    ~CKestrumApp() override;

    // false when start-up fails (the program then ends).
    bool InitInstance();
    CMainFrame* MainFrame() const { return mainFrame_.get(); }

    // Whether the command line lets the splash show: "/Embedding" and
    // "/Automation" (also with "-") switch it off. No argument opens a document.
    static bool ShowSplash(const QStringList& arguments);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<CMainFrame> mainFrame_;
};
