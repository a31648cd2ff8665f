// What a start of the desktop does with the documents its command line names: when another
// instance takes the user's requests they go to it (all of them, or none and the start says
// so); otherwise this start shows its main frame, takes the requests from now on when it can,
// and opens them.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class CMainFrame;
class CShellOpenServer;

class CInstanceStartUp {
public:
    enum class Outcome {
        kHandedOver,     // the running instance took the documents: this start ends
        kNotHandedOver,  // it did not take them: this start ends, and Failure() says why
        kStarted,        // this is an instance: its event loop is to run
        kFailed,         // the main frame could not be made
    };

    // channelFolder: the user's private folder for the channel; "" when there is none, and then
    // every start is an instance of its own.
    explicit CInstanceStartUp(const QString& channelFolder, int handOverTimeoutMs);
    ~CInstanceStartUp();

    // showMainFrame makes and shows the main frame; nullptr when it cannot.
    Outcome Start(const QStringList& documents, const std::function<CMainFrame*()>& showMainFrame);
    // The instance's side of the channel and its documents, once started.
    CShellOpenServer* Server() const { return server_.get(); }
    // What the user is told when the documents were not handed over.
    const QString& Failure() const { return failure_; }

private:
    QString channel_;
    int timeoutMs_;
    std::unique_ptr<CShellOpenServer> server_;
    QString failure_;
};
