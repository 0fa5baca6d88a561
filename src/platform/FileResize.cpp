#include "platform/FileResize.h"

#include <QFile>

#include <cerrno>
#include <unistd.h>

namespace platform {

bool resizeFileByName(const QString &path, qint64 length, int *errorNumber)
{
    const QByteArray name = QFile::encodeName(path);
    int rc;
    do {
        rc = ::truncate(name.constData(), off_t(length));
    } while (rc < 0 && errno == EINTR);
    if (errorNumber)
        *errorNumber = rc < 0 ? errno : 0;
    return rc == 0;
}

} // namespace platform
