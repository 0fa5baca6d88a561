#include "platform/ErrorText.h"

#include <QFileInfo>

#include <cerrno>

namespace platform {

QString systemErrorText(int errorNumber)
{
    switch (errorNumber) {
    case 0:
        return QString();
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダが見つかりません。");
    case ENOTDIR:
        return QStringLiteral("パスの途中がフォルダではありません。");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが許可されていません。");
    case EISDIR:
        return QStringLiteral("ファイルではなくフォルダです。");
    case EROFS:
        return QStringLiteral("読み取り専用の場所です。");
    case ENOSPC:
        return QStringLiteral("ディスクに空きがありません。");
    case EDQUOT:
        return QStringLiteral("ディスクの使用量の上限に達しました。");
    case EIO:
        return QStringLiteral("読み書きの途中でエラーが起きました。");
    case EAGAIN:
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ほかのプログラムが使用中です。");
    case ENOLCK:
    case EOPNOTSUPP:
    case EINVAL:
        return QStringLiteral("この場所ではファイルをロックできません。");
    case ESTALE:
    case ENETDOWN:
    case ENETUNREACH:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ETIMEDOUT:
        return QStringLiteral("ネットワーク上のファイルに届きません。");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイルの名前またはパスが長すぎます。");
    case ELOOP:
        return QStringLiteral("シンボリックリンクがたどれません（輪になっているか、多すぎます）。");
    case EEXIST:
        return QStringLiteral("同じ名前のものがすでにあります。");
    case ENOMEM:
        return QStringLiteral("メモリが足りません。");
    case ENXIO: // what open() says of a socket, and what the data files' open says of any special file
        return QStringLiteral("ファイルではなく、パイプや装置などです。");
    case ENODEV:
        return QStringLiteral("装置がありません。");
    default:
        return QStringLiteral("システムのエラーです（番号 %1）。").arg(errorNumber);
    }
}

int lastSystemError()
{
    return errno;
}

void clearSystemError()
{
    errno = 0;
}

namespace {
QString toolkitErrorText(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::NoError:
        return QString();
    case QFileDevice::ReadError:
        return QStringLiteral("読み込みに失敗しました。");
    case QFileDevice::WriteError:
        return QStringLiteral("書き込みに失敗しました。");
    case QFileDevice::FatalError:
        return QStringLiteral("ファイルを扱えなくなりました。");
    case QFileDevice::ResourceError:
        return QStringLiteral("ディスクの空きか、開けるファイルの数が足りません。");
    case QFileDevice::OpenError:
        return QStringLiteral("開けませんでした。");
    case QFileDevice::AbortError:
        return QStringLiteral("書き込みが取り消されました。");
    case QFileDevice::TimeOutError:
        return QStringLiteral("時間内に終わりませんでした。");
    case QFileDevice::RemoveError:
        return QStringLiteral("削除できませんでした。");
    case QFileDevice::RenameError:
        return QStringLiteral("名前を変えられませんでした。");
    case QFileDevice::PositionError:
        return QStringLiteral("ファイルの中の位置を動かせませんでした。");
    case QFileDevice::ResizeError:
        return QStringLiteral("ファイルの大きさを変えられませんでした。");
    case QFileDevice::PermissionsError:
        return QStringLiteral("アクセス権を変えられませんでした。");
    case QFileDevice::CopyError:
        return QStringLiteral("コピーできませんでした。");
    case QFileDevice::UnspecifiedError:
    default:
        return QStringLiteral("原因のわからないエラーです。");
    }
}
} // namespace

FileError fileError(const QFileDevice &file, int systemError)
{
    // The toolkit opens a folder, finds out what it is and gives up without a system error number.
    if (!file.fileName().isEmpty() && QFileInfo(file.fileName()).isDir())
        return {EISDIR, systemErrorText(EISDIR)};
    if (systemError != 0)
        return {systemError, systemErrorText(systemError)};
    return {0, toolkitErrorText(file.error())};
}

QString bracketed(const QString &description)
{
    QString text = description;
    if (text.endsWith(u'。'))
        text.chop(1);
    return u'（' + text + u'）';
}

QString processErrorText(QProcess::ProcessError error)
{
    switch (error) {
    case QProcess::FailedToStart:
        return QStringLiteral(
            "起動できませんでした（プログラムが見つからないか、実行が許可されていません）。");
    case QProcess::Crashed:
        return QStringLiteral("途中で異常終了しました。");
    case QProcess::Timedout:
        return QStringLiteral("時間内に応答がありませんでした。");
    case QProcess::WriteError:
        return QStringLiteral("プログラムへの書き込みに失敗しました。");
    case QProcess::ReadError:
        return QStringLiteral("プログラムからの読み込みに失敗しました。");
    case QProcess::UnknownError:
    default:
        return QStringLiteral("原因のわからないエラーです。");
    }
}

} // namespace platform
