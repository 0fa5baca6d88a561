#include "platform/PdfFile.h"

#include "platform/TextFile.h"

#include <QFileInfo>

namespace platform {

QString savePdfFile(const QString &path, const QByteArray &pdf, bool drawn)
{
    QString problem;
    if (!drawn)
        problem = QStringLiteral("PDFを作れませんでした：%1").arg(displayPath(path));
    else if (writeFileBytes(path, pdf, &problem))
        return {};
    QString text = QStringLiteral("PDFファイルを保存できませんでした。\n%1").arg(problem);
    if (QFileInfo(path).isFile())
        text += QStringLiteral("\n前からあったファイルはそのまま残っています。");
    return text;
}

} // namespace platform
