#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// The settings files of the family (path data, common data, standards table, roster, sound set) are
// sequences of items: items are separated by commas or line ends, an item may be enclosed in double
// quotes (then it may hold commas), and blanks around an unquoted item are ignored. An empty line is
// therefore an empty item. A file read to its end (standards table, sound set) ends with its last item:
// the empty lines after it, which an editor often leaves, make no items. A file read for a number of
// items (the two settings files) takes them from its lines, empty ones too: a path data file of item 1
// and nine empty lines holds ten items. This is the one reader of that syntax.
namespace platform {

struct Item
{
    QString text;
    bool quoted = false;
    int line = 0; // 1-based line on which the item starts
};

class DelimitedItemReader
{
public:
    explicit DelimitedItemReader(QString content);

    // True when nothing but blanks and line ends is left (and the last item did not end with a comma):
    // a reader that reads to the end of a file stops here.
    bool atEnd() const;

    // Reads the next item; an empty line gives an empty item. An item that is cut off by the end of the
    // text (a quote that is never closed) is returned as read up to the end. Returns false only when
    // the text is used up.
    bool next(Item *item);

    // Reads up to n items, empty lines at the end of the text included; returns how many were read.
    int read(int n, QList<Item> *items);

    // Reads up to n items, but none of the empty lines after the last item (stops at atEnd()).
    int readBeforeEnd(int n, QList<Item> *items);

    // The line of the next item to be read (1-based).
    int line() const { return m_line; }

private:
    void skipBlanks();

    QString m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    bool m_lineStart = true; // the last delimiter was a line end (or nothing was read yet)
};

// Reads all items of a text, up to its last item.
QList<Item> readAllItems(const QString &content);

// The number that a text starts with, read the way the original numeric conversion of text reads it:
// leading blanks are skipped, then an optional sign, digits and an optional fraction are taken and the
// rest is ignored ("12345ABC塾" gives 12345, "ABC塾" gives 0, " -3.5kg" gives -3.5).
double leadingNumber(QStringView text);

// The whole number an item holds, by the rule above, truncated toward zero and clamped to [lo, hi].
qint64 leadingInteger(QStringView text, qint64 lo = std::numeric_limits<qint32>::min(),
                      qint64 hi = std::numeric_limits<qint32>::max());

// A loosely typed value as the original keeps items it reads: an unquoted item that is a number
// through and through becomes a number, anything else stays text.
QVariant itemValue(const Item &item);

// The number of a loosely typed value: a number as it is, a text by its leading digits.
double valueNumber(const QVariant &value);

// The text of a loosely typed value: a number in plain decimal, a text as it is.
QString valueText(const QVariant &value);

} // namespace platform
