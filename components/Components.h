// The six components the setup installs, the rows of the component list and
// the rules that turn their check states into sizes and the chosen set.
// Plain records only: the wizard owns the list box and hands its states here.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace components {

constexpr int kComponentCount = 6;

struct TComponentDef {
  const char* Name;        // the row text
  const char* SizingList;  // payload records for the size, "\r"-separated; "X\" is a folder prefix
};
extern const TComponentDef ComponentTable[kComponentCount];

// Name by component number; "" for a number outside the table.
const char* ComponentName(int component);

enum TCheckState : uint8_t { cbUnchecked = 0, cbChecked = 1, cbGrayed = 2 };

// Component numbers 0..7; bit n set: component n chosen for this run.
using TComponentSet = uint8_t;
inline bool InSet(TComponentSet set, int component) {
  return component >= 0 && component <= 7 && (set >> component) & 1;
}

struct TComponentRow {
  uint8_t Component;  // the row-to-component list
  TCheckState State;
};
using TComponentRows = std::vector<TComponentRow>;

// One row per component in table order, checked when its bit of the saved
// mask is set; row 0 (the program itself) always grayed.
TComponentRows FillComponentRows(uint32_t savedMask);
// Row 1 is highlighted after filling.
constexpr int kInitialHighlightedRow = 1;

// A click on a row's box or Space on it: unchecked <-> checked, grayed -> unchecked.
void FlipComponentRow(TComponentRows& rows, int row);
// After a flip: when the program's row was just flipped off grayed, puts it
// back and returns true (nothing else changes); false when the figures need
// recomputing.
bool RestoreProgramRow(TComponentRows& rows);

// Sum of the sizes of rows that are not unchecked, wrapping as a 32-bit sum.
int32_t RequiredBytes(const TComponentRows& rows, const std::vector<int32_t>& sizes);

// The rows that are not unchecked, as a set; the grayed program row counts.
TComponentSet FixSelection(const TComponentRows& rows);


// Free bytes available to the caller on the drive of folder (its drive letter
// and colon, or server and share). False when the volume cannot be asked.
bool AvailableSpace(const std::string& folder, int64_t& bytes);

// Next on the component page: enabled exactly when the space suffices. When
// the free space is unknown the install is let through: the extraction
// itself reports a folder that cannot be written.
bool SpaceSuffices(bool availableKnown, int64_t available, int32_t required);

// Test seam: replaces GetDiskFreeSpaceExA inside AvailableSpace; nullptr restores it.
using FreeSpaceFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
void SetFreeSpaceFunction(FreeSpaceFn fn);

}  // namespace components
