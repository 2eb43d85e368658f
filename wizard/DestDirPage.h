// The destination page's two linked widgets and the rules for the typed
// destination. The drive box lists the drives C: to Z: (CD-ROM drives left
// out) and follows drives coming and going; the folder list shows the chain
// from the drive root down to its current folder, then that folder's
// subfolders. Each keeps its state beside its control; the wizard routes the
// controls' notifications, measuring and drawing here.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/WinHandles.h"
#include "ui/Window.h"

namespace wizard {

// The typed destination completed: spaces trimmed, "/" made "\", the drive
// box's drive for a text without drive part, one trailing backslash dropped;
// then, below a drive root or a share, "." and ".." resolved (never above the
// root) and the last name's trailing dots and spaces dropped; and the product folder
// joined to a bare drive or to the Program Files folder itself, however it is
// spelt, its short name too. A drive-relative text ("C:foo") is not resolved.
std::string NormalisedDestDir(const std::string& typed, char drive, const std::string& programFiles);

// Finds what no folder path can hold: a control character, one of < > | " * ?,
// a colon after the drive's, a drive without its root ("C:foo", relative to
// the drive's current folder), a device path (\\.\ or \\?\), or MAX_PATH
// characters or more. On true, [start, start + length) is the part at fault.
bool FindUnholdablePart(const std::string& path, size_t& start, size_t& length);

// A bitmap resource drawn with its bottom-left pixel's colour left out, by a
// mask and two plain blits: every Windows has them, while the one-call
// transparent blit lives in a DLL that Windows NT 4.0 lacks. Read from the
// resources when first measured or drawn: only the folder page shows them.
class TKeyedPicture {
 public:
  void Load(HINSTANCE instance, const char* name) {
    instance_ = instance;
    name_ = name;
  }
  int Width() const { return Made().size_.cx; }
  int Height() const { return Made().size_.cy; }
  void Draw(HDC dc, int x, int y) const;

 private:
  const TKeyedPicture& Made() const;

  HINSTANCE instance_ = nullptr;
  mutable const char* name_ = nullptr;  // cleared once read
  mutable base::UniqueBitmap bitmap_;  // the key colour turned black, so OR adds nothing there
  mutable base::UniqueBitmap mask_;    // monochrome: 1 where the key colour was
  mutable SIZE size_{0, 0};
};

class TFolderList;

// Both serve screen readers their items (what the system's own object of a
// list cannot know of an owner-drawn one), under a name of their own: no
// label lies before them.
class TDriveBox : private ui::TAccessibleList {
 public:
  explicit TDriveBox(HINSTANCE instance);
  void Attach(HWND combo, TFolderList* folders);

  char Drive() const { return drive_; }  // lower case; 0 before the first SetDrive
  // Entries for the drives of the current logical-drive mask, none selected.
  void BuildEntries() { BuildEntries(LogicalDriveMask()); }
  // Entries for the drives of this mask, none selected.
  void BuildEntries(DWORD mask);
  static DWORD LogicalDriveMask();
  // Selects the drive's entry and, unless asked not to, moves the folder list there.
  void SetDrive(char letter, bool moveFolders = true);
  // The drive timer: rebuilds on a changed mask, follows a newly attached
  // drive, falls back to the Program Files drive when the current one has gone.
  void RefreshDrives();
  void SelectionChanged();  // the user picked an entry

  int ItemHeight(int fontHeight) const;
  void DrawItem(const DRAWITEMSTRUCT& item) const;

 private:
  struct TEntry {
    char Letter;
    std::string Text;  // "e: [label]"
    bool Portable;     // drawn as a removable drive
  };
  int SelectedIndex() const;
  void SelectText(const std::string& text);
  std::string ListName() const override { return "Drive"; }
  std::string ItemName(int item) const override;
  bool DropDown() const override { return true; }

  HWND combo_ = nullptr;
  TFolderList* folders_ = nullptr;
  TKeyedPicture fixed_, removable_;
  std::vector<TEntry> entries_;
  DWORD mask_ = 0;
  char drive_ = 0;
  ui::TSubclassedControl control_;  // last: untied before the entries go
};

class TFolderList : private ui::TAccessibleList {
 public:
  explicit TFolderList(HINSTANCE instance);
  // onChange runs after every change of the current folder.
  void Attach(HWND list, TDriveBox* drives, std::function<void()> onChange);

  const std::string& Folder() const { return folder_; }
  // Goes to the nearest existing folder of path, never above its drive root;
  // a path without a drive letter is ignored.
  void SetFolder(const std::string& path);
  // The drive box changed drive: the Program Files folder on its own drive,
  // else the same path on the new drive when it exists, else the root.
  void MoveToDrive(char letter);
  void SelectionChanged();  // the user picked an entry

  int ItemHeight(int fontHeight) const;
  void DrawItem(const DRAWITEMSTRUCT& item) const;

 private:
  struct TEntry {
    std::string Path;
    std::string Text;
    int Indent;  // at 96 DPI
    bool Open;  // on the chain down to the current folder
  };
  void Rebuild();
  bool SameAsCurrent(const std::string& path) const;
  std::string ListName() const override { return "Folders"; }
  std::string ItemName(int item) const override;

  HWND list_ = nullptr;
  TDriveBox* drives_ = nullptr;
  std::function<void()> onChange_;
  TKeyedPicture open_, closed_;
  std::vector<TEntry> entries_;
  std::string folder_;
  bool caseSensitive_ = false;
  ui::TSubclassedControl control_;  // last: untied before the entries go
};

}  // namespace wizard
