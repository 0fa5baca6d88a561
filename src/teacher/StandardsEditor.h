#pragma once

#include "teacher/StandardsGridModel.h"

#include <QString>

// What the keys of the standards editor's box do. The box lies over the current cell of the grid;
// every change of its text goes into the cell. Before any key reaches the box (except Escape), the
// frequency panel is computed again and the box is loaded from the cell with the caret at position 10:
// so a typed character is added at the end of a value shorter than ten characters, and Backspace takes
// the last one off; to replace a value the teacher empties it with the space bar first.
namespace teacher {

inline constexpr int kCaretPosition = 10;

enum class EditorKey { Up, Down, Left, Right, Enter, Escape, Space, Other };

struct KeyOutcome
{
    bool swallow = false; // the key does not reach the box
    bool refresh = false; // compute the frequency panel, then load the box from the cell (gridToText)
    bool moved = false;   // the current cell moved: lay the box over it
};

class StandardsEditor
{
public:
    explicit StandardsEditor(StandardsGridModel &grid) : m_grid(grid) {}

    StandardsGridModel &grid() { return m_grid; }
    // The current cell: a level row (1 .. level count) and a field column (1 .. 12).
    int row() const { return m_row; }
    int column() const { return m_column; }
    // The last row of the row selection (the current row unless Shift + Down extended it).
    int selectionEndRow() const { return m_selectionEnd; }
    bool changed() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }

    const QString &boxText() const { return m_boxText; }
    int caret() const { return m_caret; }

    // Places the current cell (a click, or the start of an activation); kept inside the grid. Clears
    // the row selection.
    void setCurrent(int row, int column);

    // The box's text changed (typing, or the space bar): when it differs from the cell, the cell turns
    // yellow and the changed flag is set; the cell takes the text.
    void boxTextChanged(const QString &text);
    // Loads the box from the current cell, the caret at position 10 (the end of a shorter value).
    void gridToText();

    KeyOutcome pressKey(EditorKey key, bool shift);

private:
    StandardsGridModel &m_grid;
    int m_row = 1;
    int m_column = 1;
    int m_selectionEnd = 1;
    bool m_changed = false;
    QString m_boxText;
    int m_caret = 0;
};

// The two-line explanation of a column shown beside the grid (empty for other columns).
QString columnHelpText(int column);

} // namespace teacher
