// The sound set over any file: every kind keeps its name, a count is a number of 0 to 20 and no kind
// holds more than 20 files, and the groups with a count, written out again, read back as the same
// groups.

#include "FuzzCheck.h"
#include "platform/TextFile.h"
#include "sound/SoundSet.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    bool ok = false;
    const QString text =
        platform::decode932(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &ok);
    if (!ok)
        return 0; // the loader refuses such a file before parsing it

    const sound::SoundTable table = sound::parseSoundSet(text);
    FUZZ_CHECK(table[0] == sound::SoundTable::value_type{});
    QStringList written;
    for (int kind = 1; kind <= sound::kKindCount; ++kind) {
        FUZZ_CHECK(table[kind][0] == sound::kindName(kind));
        const QString count = table[kind][sound::kCountSlot];
        if (count.isEmpty())
            continue;
        bool isNumber = false;
        const int n = count.toInt(&isNumber);
        FUZZ_CHECK(isNumber && n >= 0 && n <= sound::kMaxFilesPerKind && count == QString::number(n));
        QStringList group{table[kind][0]};
        for (int slot = 1; slot <= n; ++slot) {
            FUZZ_CHECK(table[kind][slot] != QStringLiteral("*"));
            if (table[kind][slot].contains(u'"'))
                return 0; // a name with a double quote cannot be written as an item
            group << QLatin1Char('"') + table[kind][slot] + QLatin1Char('"');
        }
        written << group.join(u',') + QStringLiteral(",*");
    }
    const sound::SoundTable again = sound::parseSoundSet(written.join(QStringLiteral("\r\n")));
    for (int kind = 1; kind <= sound::kKindCount; ++kind) {
        const QString count = table[kind][sound::kCountSlot];
        FUZZ_CHECK(again[kind][sound::kCountSlot] == count);
        for (int slot = 1; slot <= count.toInt(); ++slot)
            FUZZ_CHECK(again[kind][slot] == table[kind][slot]);
    }
    return 0;
}
