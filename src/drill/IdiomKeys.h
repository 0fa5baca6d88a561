#pragma once

#include <QString>

// The two position keys of the idiom data file and the swap that scrambles and restores its lines.
//
// A key is a text of 396 decimal digits read as two-digit numbers: number i (counted from 0) is the
// digits at character positions 2i+1 and 2i+2. Numbers 1 to 99 of key A and key B form swap pairs 1 to
// 99; each names a 1-based character position between 1 and 99 of a stored line. The first number and
// numbers 100 to 197 are never used by the swap; they are digits only so that both keys keep the form
// the data file was prepared with.
//
// A stored line is the plain line with the swap pairs applied in ascending order (1, 2, ..., 99); the
// reader undoes them in descending order. The keys are fixed for good: changing them makes every data
// file prepared before unreadable.
namespace drill::idioms {

inline constexpr int kKeyLength = 396;
inline constexpr int kSwapPairCount = 99;
// A line must reach the highest position a swap pair can name.
inline constexpr int kMinStoredLineLength = 99;

const char *keyA();
const char *keyB();

// The 1-based character positions of swap pair i (1 to 99); 0 for any other i.
int swapPositionA(int pair);
int swapPositionB(int pair);

enum class SwapDirection {
    Scramble, // plain line to stored line: pairs 1 to 99
    Restore,  // stored line to plain line: pairs 99 down to 1
};

// Applies all swap pairs to the line in the direction's order. The line must be at least
// kMinStoredLineLength characters long (UTF-16 code units, as QString counts them); a shorter line is
// left unchanged and false is returned.
bool applySwaps(QString &line, SwapDirection direction);

} // namespace drill::idioms

// The other folders name the idiom data by its short name.
namespace idioms = drill::idioms;
