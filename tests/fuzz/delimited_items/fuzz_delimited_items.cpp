// The delimited-item reader over any bytes of a settings file: decoding code page 932 is stable, the
// reader ends with a bounded number of items, an unquoted item has no blank or tab at either end and no
// delimiter inside, empty lines after the last item add none, and items written back (quoted) read as
// the same items.

#include "FuzzCheck.h"
#include "platform/DelimitedItems.h"
#include "platform/TextFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    bool ok = false;
    const QString text = platform::decode932(bytes, &ok);
    if (ok) {
        bool encoded = false;
        const QByteArray again = platform::encode932(text, &encoded);
        FUZZ_CHECK(encoded);
        FUZZ_CHECK(platform::decode932(again) == text);
    }

    const QList<platform::Item> items = platform::readAllItems(text);
    FUZZ_CHECK(items.size() <= text.size() + 1);
    int line = 1;
    for (const platform::Item &item : items) {
        FUZZ_CHECK(item.line >= line);
        line = item.line;
        // The reader ignores only blanks and tabs around an unquoted item: other white space (a vertical
        // tab, an ideographic space that pads a name) belongs to the item.
        if (!item.quoted) {
            FUZZ_CHECK(!item.text.startsWith(u' ') && !item.text.startsWith(u'\t'));
            FUZZ_CHECK(!item.text.endsWith(u' ') && !item.text.endsWith(u'\t'));
            FUZZ_CHECK(!item.text.contains(u',') && !item.text.contains(u'\r') && !item.text.contains(u'\n'));
        }
        FUZZ_CHECK(platform::leadingInteger(item.text, -100, 100) >= -100);
    }

    // Empty lines after the last item make no items (a quote left open would take them in).
    if (!text.contains(u'"')) {
        const QList<platform::Item> padded = platform::readAllItems(text + QStringLiteral("\r\n \r\n\n"));
        FUZZ_CHECK(padded.size() == items.size());
        for (qsizetype i = 0; i < items.size() && i < padded.size(); ++i)
            FUZZ_CHECK(padded[i].text == items[i].text);
    }

    // An item holding a double quote can only have been unquoted (a quoted item ends at its first
    // quote), so it is written as it is; every other item is written quoted. An unquoted item whose
    // text starts with a quote after blanks that are not plain blanks has no written form.
    QString written;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString &t = items[i].text;
        if (t.startsWith(u'"'))
            return 0;
        if (i > 0)
            written += u',';
        written += t.contains(u'"') ? t : QStringLiteral("\"%1\"").arg(t);
    }
    const QList<platform::Item> again = platform::readAllItems(written);
    FUZZ_CHECK(again.size() == items.size());
    for (qsizetype i = 0; i < items.size(); ++i)
        FUZZ_CHECK(again[i].text == items[i].text);
    return 0;
}
