#include "teacher/StandardsEditor.h"

#include <algorithm>

namespace teacher {

void StandardsEditor::setCurrent(int row, int column)
{
    m_row = std::clamp(row, 1, std::max(m_grid.levelCount(), 1));
    m_column = std::clamp(column, 1, kFieldColumns);
    m_selectionEnd = m_row;
}

void StandardsEditor::boxTextChanged(const QString &text)
{
    m_boxText = text;
    if (m_grid.setCell(m_row, m_column, text, true))
        m_changed = true;
}

void StandardsEditor::gridToText()
{
    m_boxText = m_grid.cell(m_row, m_column);
    m_caret = std::min(kCaretPosition, int(m_boxText.size()));
}

KeyOutcome StandardsEditor::pressKey(EditorKey key, bool shift)
{
    const int last = m_grid.levelCount();
    KeyOutcome outcome;
    outcome.refresh = true;
    outcome.swallow = true;
    auto moveTo = [&](int row, int column) {
        m_row = row;
        m_column = column;
        m_selectionEnd = row;
        outcome.moved = true;
    };
    switch (key) {
    case EditorKey::Escape:
        outcome.refresh = false;
        break;
    case EditorKey::Space:
        boxTextChanged(QString());
        break;
    case EditorKey::Up:
        if (m_row > 1)
            moveTo(m_row - 1, m_column);
        break;
    case EditorKey::Down:
        if (shift) {
            // The copies are edits like typed ones: a cell they change is coloured and counts as a
            // change, so that leaving asks before they are lost.
            if (m_selectionEnd < last) {
                ++m_selectionEnd;
                for (int r = m_row; r <= m_selectionEnd; ++r) {
                    if (m_grid.setCell(r, m_column, m_boxText, true))
                        m_changed = true;
                }
            }
        } else if (m_row < last) {
            moveTo(m_row + 1, m_column);
        }
        break;
    case EditorKey::Left:
        if (m_column > 1)
            moveTo(m_row, m_column - 1);
        break;
    case EditorKey::Right:
        if (m_column < kFieldColumns)
            moveTo(m_row, m_column + 1);
        break;
    case EditorKey::Enter:
        break;
    case EditorKey::Other:
        outcome.swallow = false;
        break;
    }
    return outcome;
}

QString columnHelpText(int column)
{
    const QString br = QStringLiteral("\r\n");
    switch (column) {
    case 1:
        return QStringLiteral("合格基準タイム") + br +
               QStringLiteral("　大部分の人ががんばったら出せそうなタイムにしてください");
    case 2:
        return QStringLiteral("合格最低ラインタイム") + br + QStringLiteral("  この５倍が時間切れになります");
    case 3:
        return QStringLiteral("目標ポイント") + br + QStringLiteral("　　 目標ポイント");
    case 4:
        return QStringLiteral("目標回数") + br + QStringLiteral("　　 目標回数");
    case 5:
        return QStringLiteral("ポイント倍率") + br + QStringLiteral("  ポイントを何倍にして加算するか") + br +
               QStringLiteral("  むずかしいレベルや生徒のいやがるレベルは高くしてください");
    case 6:
        return QStringLiteral("やりすぎ禁止回数") + br +
               QStringLiteral("  何回やったらやりすぎ禁止にするか") + br + QStringLiteral("  ");
    case 7:
        return QStringLiteral("やりすぎ禁止ポイント") + br +
               QStringLiteral("  何ポイントとったらやりすぎ禁止にするか") + br + QStringLiteral(" ");
    case 8:
        return QStringLiteral("合格判定をする日数") + br +
               QStringLiteral("　何日前からのポイントを有効にするか");
    case 9:
        return QStringLiteral("やりすぎ判定をする日数") + br +
               QStringLiteral("　何日前からのポイントを有効にするか");
    default:
        return QString();
    }
}

} // namespace teacher
