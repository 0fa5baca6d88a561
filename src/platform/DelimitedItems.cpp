#include "platform/DelimitedItems.h"

#include <cmath>
#include <limits>

namespace platform {

namespace {
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}
bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}
} // namespace

DelimitedItemReader::DelimitedItemReader(QString content) : m_text(std::move(content)) {}

bool DelimitedItemReader::atEnd() const
{
    // After a comma another item follows, even an empty one at the end of the text.
    if (!m_lineStart)
        return false;
    for (qsizetype i = m_pos; i < m_text.size(); ++i) {
        const QChar c = m_text.at(i);
        if (!isBlank(c) && !isLineEnd(c))
            return false;
    }
    return true;
}

void DelimitedItemReader::skipBlanks()
{
    while (m_pos < m_text.size() && isBlank(m_text.at(m_pos)))
        ++m_pos;
}

bool DelimitedItemReader::next(Item *item)
{
    // An empty line is an empty item like any other: items are separated by line ends as by commas.
    // Only the end of the text itself ends the items; a reader that reads to the end of a file stops at
    // atEnd(), so that the empty lines after its last item make none.
    if (m_lineStart && m_pos >= m_text.size())
        return false;
    skipBlanks();
    Item result;
    result.line = m_line;
    const qsizetype n = m_text.size();
    if (m_pos < n && m_text.at(m_pos) == u'"') {
        result.quoted = true;
        const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
        const qsizetype end = close < 0 ? n : close;
        for (qsizetype i = m_pos + 1; i < end; ++i) {
            if (m_text.at(i) == u'\n')
                ++m_line;
        }
        result.text = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = close < 0 ? n : close + 1;
        // Whatever stands between the closing quote and the next delimiter is not part of the item.
        while (m_pos < n && m_text.at(m_pos) != u',' && !isLineEnd(m_text.at(m_pos)))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < n && m_text.at(m_pos) != u',' && !isLineEnd(m_text.at(m_pos)))
            ++m_pos;
        // Only blanks and tabs are trimmed: an ideographic space belongs to the item (names are padded
        // with it).
        qsizetype first = start, last = m_pos;
        while (first < last && isBlank(m_text.at(first)))
            ++first;
        while (last > first && isBlank(m_text.at(last - 1)))
            --last;
        result.text = m_text.mid(first, last - first);
    }
    // Consume the delimiter: a comma, or one line end (CRLF, LF or CR). The end of the text ends the
    // line too, so that the reader always reaches its end.
    if (m_pos >= n) {
        m_lineStart = true;
    } else {
        const QChar c = m_text.at(m_pos);
        m_lineStart = c != u',';
        if (c == u',') {
            ++m_pos;
        } else if (isLineEnd(c)) {
            if (c == u'\r' && m_pos + 1 < n && m_text.at(m_pos + 1) == u'\n')
                ++m_pos;
            ++m_pos;
            ++m_line;
        }
    }
    if (item)
        *item = std::move(result);
    return true;
}

int DelimitedItemReader::read(int n, QList<Item> *items)
{
    int count = 0;
    Item item;
    while (count < n && next(&item)) {
        if (items)
            items->append(item);
        ++count;
    }
    return count;
}

int DelimitedItemReader::readBeforeEnd(int n, QList<Item> *items)
{
    int count = 0;
    Item item;
    while (count < n && !atEnd() && next(&item)) {
        if (items)
            items->append(item);
        ++count;
    }
    return count;
}

QList<Item> readAllItems(const QString &content)
{
    DelimitedItemReader reader(content);
    QList<Item> items;
    Item item;
    while (!reader.atEnd() && reader.next(&item))
        items.append(item);
    return items;
}

double leadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text.at(i)))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    double value = 0.0;
    while (i < n && text.at(i) >= u'0' && text.at(i) <= u'9') {
        value = value * 10.0 + (text.at(i).unicode() - u'0');
        ++i;
    }
    if (i < n && text.at(i) == u'.') {
        ++i;
        double scale = 0.1;
        while (i < n && text.at(i) >= u'0' && text.at(i) <= u'9') {
            value += scale * (text.at(i).unicode() - u'0');
            scale /= 10.0;
            ++i;
        }
    }
    return negative ? -value : value;
}

qint64 leadingInteger(QStringView text, qint64 lo, qint64 hi)
{
    const double value = std::trunc(leadingNumber(text));
    if (!(value >= double(lo)))
        return lo;
    if (value > double(hi))
        return hi;
    return qint64(value);
}

QVariant itemValue(const Item &item)
{
    if (item.quoted || item.text.isEmpty())
        return item.text;
    bool ok = false;
    const double number = item.text.toDouble(&ok);
    if (ok && std::isfinite(number)) {
        if (number == std::trunc(number) && std::abs(number) <= 2147483647.0)
            return qint32(number);
        return number;
    }
    return item.text;
}

double valueNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value.toDouble();
    default:
        return leadingNumber(value.toString());
    }
}

QString valueText(const QVariant &value)
{
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

} // namespace platform
