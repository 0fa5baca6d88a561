#include "platform/PdfFile.h"

#include "platform/TextFile.h"

#include <QFileInfo>

namespace platform {

Status savePdfFile(const QString &path, const QByteArray &pdf, bool drawn)
{
    QString problem;
    if (!drawn)
        problem = QStringLiteral("PDFを作れませんでした：%1").arg(displayPath(path));
    else if (const Status written = writeFileBytes(path, pdf); !written)
        return {};
    else
        problem = written->text;
    QString text = QStringLiteral("PDFファイルを保存できませんでした。\n%1").arg(problem);
    if (QFileInfo(path).isFile())
        text += QStringLiteral("\n前からあったファイルはそのまま残っています。");
    return Failure{.text = text};
}

} // namespace platform
