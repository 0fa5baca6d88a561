#include "teacher/StandardsEditor.h"

#include "records/StandardsTable.h"

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

app::Status StandardsEditor::loadTable(const QString &path)
{
    const app::Result<QList<QStringList>> read = records::standards::readStandardsRows(path);
    m_loaded = read.ok();
    if (!m_loaded) {
        m_grid.load({});
        return app::failure(read.failure().text +
                            QStringLiteral("\n基準の表を読めないため、記録（更新記録）はできません。"));
    }
    m_grid.load(read.value().mid(1));
    return {};
}

SaveCheck StandardsEditor::checkSave(const QString &path)
{
    if (const app::Result<QStringList> lines = records::standards::standardsLines(path, m_grid.fileRows());
        !lines) {
        m_grid.setMarked(refusedCells(m_grid));
        return {SaveCheck::Step::Refused, lines.failure().text};
    }
    const QList<QPoint> doubtful = doubtfulTimeCells(m_grid);
    if (doubtful.isEmpty())
        return {};
    m_grid.setMarked(doubtful);
    return {SaveCheck::Step::Ask, doubtfulTimesQuestion(m_grid, doubtful)};
}

bool StandardsEditor::firstResultsProblem()
{
    if (m_resultsProblemTold)
        return false;
    m_resultsProblemTold = true;
    return true;
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
