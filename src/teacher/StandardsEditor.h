#pragma once

#include "app/Failure.h"
#include "teacher/StandardsGridModel.h"

#include <QString>

// What the keys of the standards editor's box do. The box lies over the current cell of the grid;
// every change of its text goes into the cell. Before any key reaches the box (except Escape), the
// frequency panel is computed again and the box is loaded from the cell with the caret at position 10:
// so a typed character is added at the end of a value shorter than ten characters, and Backspace takes
// the last one off; to replace a value the teacher empties it with the space bar first.
namespace teacher {

inline constexpr int kCaretPosition = 10;

// The two-line explanation of a column shown beside the grid (empty for other columns).
QString columnHelpText(int column);

enum class EditorKey { Up, Down, Left, Right, Enter, Escape, Space, Other };

struct KeyOutcome
{
    bool swallow = false; // the key does not reach the box
    bool refresh = false; // compute the frequency panel, then load the box from the cell (gridToText)
    bool moved = false;   // the current cell moved: lay the box over it
};

// What saving the grid needs before anything is written.
struct SaveCheck
{
    enum class Step {
        Refused, // a cell start-up would refuse (marked): the text says which; nothing is written
        Ask,     // doubtful times (marked): the text is the question, and only Yes writes
        Write
    };
    Step step = Step::Write;
    QString text;
};

// The standards editor's state: the current cell and the box over it, the changed flag, whether the
// table was read (only then can it be saved over the file), and the once-only steps of the screen.
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

    // Reads the standards table at `path` into the grid (its header line left out). A table that cannot
    // be read leaves the grid empty and cannot be saved; the failure says so. The changed flag stays.
    app::Status loadTable(const QString &path);
    bool canSave() const { return m_loaded; }
    // The box lies over a cell only when the grid has one.
    bool boxShown() const { return m_grid.levelCount() > 0; }
    // The explanation of the current column.
    QString helpText() const { return columnHelpText(m_column); }

    // Checks every cell as start-up would read the table written at `path`, and the times, marking the
    // cells it finds; nothing is written.
    SaveCheck checkSave(const QString &path);

    // "戻る" is on its way to the hub: a second one does nothing.
    bool leaving() const { return m_leaving; }
    void setLeaving() { m_leaving = true; }
    // A problem with the results file (missing, unreadable) is told once a showing: true the first time.
    bool firstResultsProblem();

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
    bool m_loaded = false;
    bool m_leaving = false;
    bool m_resultsProblemTold = false;
    QString m_boxText;
    int m_caret = 0;
};

} // namespace teacher
