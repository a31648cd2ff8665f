#include "shell/instance_start_up.h"

#include <QFile>

#include "platform/instance_lock.h"
#include "shell/shell_open.h"

CInstanceStartUp::CInstanceStartUp(const QString& channelFolder, int handOverTimeoutMs)
    : channel_(channelFolder.isEmpty() ? QString() : CShellOpenServer::ChannelName(channelFolder)),
      timeoutMs_(handOverTimeoutMs) {}

CInstanceStartUp::~CInstanceStartUp() = default;

// The lock is taken before the main frame is made and kept: two starts at the same moment
// never both listen, and the one that does not waits for the other to answer.
CInstanceStartUp::Outcome CInstanceStartUp::Start(const QStringList& documents,
                                                  const std::function<CMainFrame*()>& showMainFrame) {
    InstanceLock lock;
    const bool first = !channel_.isEmpty() && lock.TryLock(QFile::encodeName(CShellOpenServer::LockName(channel_)).toStdString());
    if (!channel_.isEmpty() && !first && !documents.isEmpty()) {
        QString why;
        if (CShellOpenServer::HandToRunningInstance(channel_, documents, timeoutMs_, &why)) return Outcome::kHandedOver;
        failure_ = QString("Kestrum is running already but did not take the documents (%1), so none of them "
                           "was opened.\n\nTry again once it answers, or close it.")
                       .arg(why);
        return Outcome::kNotHandedOver;
    }
    CMainFrame* frame = showMainFrame();
    if (frame == nullptr) return Outcome::kFailed;
    server_ = std::make_unique<CShellOpenServer>(frame, channel_);
    if (first) server_->Listen(std::move(lock));
    server_->Open(documents);
    return Outcome::kStarted;
}
