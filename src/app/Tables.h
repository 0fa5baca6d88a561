#pragma once

#include <QVariant>

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

// The sizes of the shared state's tables, and the table of one figure per level and student.
//
// "Value" members hold an item as it was read from a settings file: a number, or a text (see
// platform/DelimitedItems.h for how they are read and how their number is taken).
using Value = QVariant;

inline constexpr int kLevelSlots = 36;     // level indexes 0 to 35; level 0 is never used
inline constexpr int kStudentSlots = 5001; // student numbers 0 to 5000
inline constexpr int kRecordSlots = 20001; // record indexes 1 to 20000 (0 unused)
inline constexpr int kMaxStudentNumber = 5000;
inline constexpr int kMaxLevel = 35;

// A table indexed by level (0 to 35) and student number (0 to 5000), one contiguous block so that
// clearing and scanning it is a linear pass.
template <typename T> class LevelStudentTable
{
public:
    LevelStudentTable() : m_cells(std::size_t(kLevelSlots) * kStudentSlots, T{}) {}
    T &operator()(int level, int student) { return m_cells[std::size_t(level) * kStudentSlots + student]; }
    const T &operator()(int level, int student) const
    {
        return m_cells[std::size_t(level) * kStudentSlots + student];
    }
    void fill(T value) { std::fill(m_cells.begin(), m_cells.end(), value); }
    T *data() { return m_cells.data(); }

private:
    std::vector<T> m_cells;
};

template <typename T> using PerLevel = std::array<T, kLevelSlots>;
