#include "StoredFile.h"

#include "drill/IdiomData.h"
#include "drill/IdiomKeys.h"
#include "platform/TextFile.h"

namespace yojidata {

QString plainLine(const QStringList &fields)
{
    QString line = fields.join(u',') + QString::fromUtf16(idioms::kEndMarker);
    if (line.size() < kPaddedLength)
        line.append(QString(kPaddedLength - line.size(), QChar(kFiller)));
    return line;
}

QString storedLine(const QStringList &fields)
{
    QString line = plainLine(fields);
    idioms::applySwaps(line, idioms::SwapDirection::Scramble);
    return line;
}

app::Status writeStoredFile(const QString &path, const IdiomList &list)
{
    QStringList lines;
    lines.reserve(list.rows.size());
    for (const IdiomRow &row : list.rows)
        lines.append(storedLine(row.fields));
    return platform::writeText932(path, lines);
}

} // namespace yojidata
