#include "windows/atomic_save.h"

#include <QFile>

#include "platform/atomic_file.h"

bool SaveFileAtomically(const QString& path, const std::function<bool(crt::CrtFile&)>& write, QString* error) {
    crt::SaveFailure failure;
    const crt::SaveResult result =
        crt::SaveSystemFileAtomically(QFile::encodeName(path).toStdString(), "wb", write, &failure);
    if (result == crt::kSaved) return true;
    if (error != nullptr) *error = QString::fromLocal8Bit(crt::DescribeSaveFailure(failure));
    return false;
}

bool SaveBytesAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    return SaveFileAtomically(
        path,
        [&bytes](crt::CrtFile& file) {
            return file.Write(bytes.constData(), 1, static_cast<std::size_t>(bytes.size())) ==
                   static_cast<std::size_t>(bytes.size());
        },
        error);
}
