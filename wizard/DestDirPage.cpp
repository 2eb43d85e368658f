#include "wizard/DestDirPage.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "base/SystemLibrary.h"
#include "instutils/InstUtils.h"
#include "instutils/Probes.h"
#include "wizard/TestSeams.h"
#include "contract/Names.h"
#include "ui/Window.h"

namespace wizard {

namespace {

constexpr char kDefaultFolderName[] = PRODUCT_FOLDER;
constexpr int kFirstListedDrive = 2;  // C:; A: and B: are never listed
constexpr int kLastDrive = 25;        // Z:
constexpr char kUnholdable[] = "<>|\"*?";

std::atomic<LogicalDrivesFunction> g_logicalDrives{nullptr};
std::atomic<DriveRootTypeFunction> g_driveRootType{nullptr};

// An empty removable drive would otherwise raise a system error box while
// the page merely looks at it.
class TQuietDriveErrors {
 public:
  TQuietDriveErrors() : old_(SetErrorMode(SEM_FAILCRITICALERRORS)) { SetErrorMode(old_ | SEM_FAILCRITICALERRORS); }
  ~TQuietDriveErrors() { SetErrorMode(old_); }
  TQuietDriveErrors(const TQuietDriveErrors&) = delete;
  TQuietDriveErrors& operator=(const TQuietDriveErrors&) = delete;

 private:
  UINT old_;
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsSlash(char c) { return c == '\\' || c == '/'; }
bool HasDriveLetter(const std::string& path) { return path.size() >= 2 && path[1] == ':' && IsLetter(path[0]); }

// "\\server\share" with both names present.
bool HasServerAndShare(const std::string& path) {
  if (path.size() < 5 || path[0] != '\\' || path[1] != '\\') return false;
  const size_t slash = path.find('\\', 2);
  return slash != std::string::npos && slash > 2 && slash + 1 < path.size() && path[slash + 1] != '\\';
}

std::string Lowered(std::string s) {
  if (!s.empty()) CharLowerBuffA(&s[0], DWORD(s.size()));
  return s;
}

std::string ProgramFiles() { return instutils::SpecialFolder(CSIDL_PROGRAM_FILES); }

char ProgramFilesDrive() {
  const std::string pf = ProgramFiles();
  return HasDriveLetter(pf) ? Lower(pf[0]) : 'c';
}

UINT DriveRootType(const std::string& root) {
  DriveRootTypeFunction fn = g_driveRootType;
  return fn ? fn(root) : GetDriveTypeA(root.c_str());
}

// The network provider DLL is loaded when a network drive is first named,
// not with every start of the setup.
using NetConnectionFn = DWORD(WINAPI*)(LPCSTR, LPSTR, LPDWORD);
NetConnectionFn NetConnection() {
  static const NetConnectionFn fn =
      base::SystemFunction<NetConnectionFn>(base::LoadSystemLibrary("mpr.dll"), "WNetGetConnectionA");
  return fn;
}

// "e: [label]" for a local drive, "n: \\server\share" for a network drive.
std::string DriveText(char upper, UINT type) {
  const std::string root = std::string(1, upper) + ":\\";
  std::string description;
  bool named = false;
  if (type == DRIVE_REMOTE) {
    const char local[] = {upper, ':', '\0'};
    char name[MAX_PATH] = {};
    DWORD size = sizeof(name);
    const NetConnectionFn connection = NetConnection();
    named = connection && connection(local, name, &size) == NO_ERROR;
    if (named) description = Lowered(name);
  }
  if (!named) {
    char label[MAX_PATH + 1] = {};
    if (GetVolumeInformationA(root.c_str(), label, sizeof(label), nullptr, nullptr, nullptr, nullptr, 0) && label[0])
      description = "[" + Lowered(label) + "]";
  }
  return std::string(1, Lower(upper)) + ": " + description;
}

DWORD VolumeFlags(const std::string& root) {
  DWORD flags = 0;
  if (!GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) flags = 0;
  return flags;
}

// The deepest existing folder on the way up from path, keeping its trailing
// backslash; the drive root when none exists.
std::string NearestExistingFolder(std::string path) {
  const std::string root = path.substr(0, 2) + "\\";
  while (path.size() > root.size() && !instutils::FolderExists(path)) {
    const size_t end = path.back() == '\\' ? path.size() - 1 : path.size();
    const size_t cut = path.rfind('\\', end - 1);
    path = cut == std::string::npos || cut < 2 ? root : path.substr(0, cut + 1);
  }
  return path.size() < root.size() ? root : path;
}

// Visible subfolder names of folder, sorted as the user's locale sorts them
// without regard to case.
std::vector<std::string> SubfolderNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  base::UniqueFind find(FindFirstFileA(instutils::JoinPath(folder, "*").c_str(), &found));
  if (!find) return names;
  do {
    const std::string name = found.cFileName;
    const DWORD attributes = found.dwFileAttributes;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) ||
        name == "." || name == "..")
      continue;
    names.push_back(name);
  } while (FindNextFileA(find.get(), &found));
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
  });
  return names;
}

// The names after a root, "\\a\\b", with "." and ".." resolved (".." stays
// at the root) and the last name's trailing dots and spaces dropped, the name
// with them when nothing else is left of it.
std::string ResolvedNames(const std::string& rest) {
  std::vector<std::string> names;
  for (size_t from = 1; from <= rest.size();) {
    const size_t to = std::min(rest.find('\\', from), rest.size());
    const std::string name = rest.substr(from, to - from);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (name != ".") {
      names.push_back(name);
    }
    from = to + 1;
  }
  if (!names.empty() && !names.back().empty()) {
    names.back().erase(names.back().find_last_not_of(". ") + 1);
    if (names.back().empty()) names.pop_back();
  }
  std::string joined;
  for (const std::string& name : names) joined += "\\" + name;
  return joined;
}

}  // namespace

void SetLogicalDrivesFunction(LogicalDrivesFunction fn) { g_logicalDrives = fn; }
void SetDriveRootTypeFunction(DriveRootTypeFunction fn) { g_driveRootType = fn; }

std::string NormalisedDestDir(const std::string& typed, char drive, const std::string& programFiles) {
  const size_t first = typed.find_first_not_of(' ');
  std::string text =
      first == std::string::npos ? std::string() : typed.substr(first, typed.find_last_not_of(' ') - first + 1);
  // Windows reads "/" as "\", resolves "." and "..", and drops the last
  // name's trailing dots and spaces: the text is made to say what Windows
  // will use, so that the rules below judge the folder itself.
  std::replace(text.begin(), text.end(), '/', '\\');
  if (!HasDriveLetter(text) && !HasServerAndShare(text)) text = std::string(1, drive) + ":";
  if (text.back() == '\\') text.pop_back();
  const size_t rootEnd = HasDriveLetter(text) ? 2 : std::min(text.find('\\', text.find('\\', 2) + 1), text.size());
  // "C:foo" lies below the drive's current folder: left as it is, for the
  // check on Next to refuse.
  if (rootEnd == text.size() || text[rootEnd] == '\\')
    text = text.substr(0, rootEnd) + ResolvedNames(text.substr(rootEnd));
  const bool lastComponentEmpty = text.back() == ':' || text.back() == '\\';
  if (lastComponentEmpty || instutils::SameFolder(text, programFiles) ||
      instutils::SameFolder(instutils::LongPathName(text), instutils::LongPathName(programFiles)))
    text = instutils::JoinPath(text, kDefaultFolderName);
  return text;
}

bool FindUnholdablePart(const std::string& path, size_t& start, size_t& length) {
  length = 1;
  if (path.size() >= 4 && IsSlash(path[0]) && IsSlash(path[1]) && path[2] == '.' && IsSlash(path[3])) {
    start = 0;
    length = 4;
    return true;
  }
  // "C:foo" lies below whatever folder the setup last used on C:.
  if (HasDriveLetter(path) && path.size() > 2 && !IsSlash(path[2])) {
    start = 0;
    length = 2;
    return true;
  }
  for (start = 0; start < path.size(); ++start) {
    const unsigned char c = static_cast<unsigned char>(path[start]);
    if (c < 32 || std::strchr(kUnholdable, c)) return true;
    if (c == ':' && !(start == 1 && IsLetter(path[0]))) return true;
  }
  if (path.size() >= MAX_PATH) {
    start = MAX_PATH - 1;
    length = path.size() - start;
    return true;
  }
  return false;
}

// ---- TKeyedPicture ----

const TKeyedPicture& TKeyedPicture::Made() const {
  if (!name_) return *this;
  const char* name = name_;
  name_ = nullptr;
  bitmap_.reset(static_cast<HBITMAP>(LoadImageA(instance_, name, IMAGE_BITMAP, 0, 0, 0)));
  BITMAP info{};
  if (!bitmap_ || !GetObjectA(bitmap_.get(), sizeof(info), &info)) return *this;
  size_ = {info.bmWidth, info.bmHeight};
  mask_.reset(CreateBitmap(size_.cx, size_.cy, 1, 1, nullptr));
  base::UniqueMemoryDc image(CreateCompatibleDC(nullptr));
  base::UniqueMemoryDc mask(CreateCompatibleDC(nullptr));
  base::SelectedObject imageBitmap(image.get(), bitmap_.get());
  base::SelectedObject maskBitmap(mask.get(), mask_.get());
  // A colour-to-mono blit gives 1 where the source has the background colour.
  SetBkColor(image.get(), GetPixel(image.get(), 0, size_.cy - 1));
  BitBlt(mask.get(), 0, 0, size_.cx, size_.cy, image.get(), 0, 0, SRCCOPY);
  // Mono-to-colour: 1 becomes the background (black), 0 the text colour (white).
  SetBkColor(image.get(), RGB(0, 0, 0));
  SetTextColor(image.get(), RGB(255, 255, 255));
  BitBlt(image.get(), 0, 0, size_.cx, size_.cy, mask.get(), 0, 0, SRCAND);
  return *this;
}

void TKeyedPicture::Draw(HDC dc, int x, int y) const {
  if (!Made().bitmap_ || !mask_) return;
  base::UniqueMemoryDc source(CreateCompatibleDC(dc));
  const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  {
    base::SelectedObject mask(source.get(), mask_.get());
    BitBlt(dc, x, y, size_.cx, size_.cy, source.get(), 0, 0, SRCAND);  // clears the picture's own pixels
  }
  {
    base::SelectedObject image(source.get(), bitmap_.get());
    BitBlt(dc, x, y, size_.cx, size_.cy, source.get(), 0, 0, SRCPAINT);
  }
  SetBkColor(dc, oldBk);
  SetTextColor(dc, oldText);
}

namespace {

// The row's background and text colours; the caller draws the picture and text.
void FillRow(const DRAWITEMSTRUCT& item) {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  SetBkMode(item.hDC, TRANSPARENT);
}

void DrawRow(const DRAWITEMSTRUCT& item, const TKeyedPicture& picture, int pictureX, int textGap,
             const std::string& text) {
  const RECT& r = item.rcItem;
  picture.Draw(item.hDC, pictureX, r.top + (r.bottom - r.top - picture.Height()) / 2);
  RECT textRect = r;
  textRect.left = pictureX + picture.Width() + textGap;
  DrawTextA(item.hDC, text.c_str(), int(text.size()), &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &r);
}

}  // namespace

// ---- TDriveBox ----

TDriveBox::TDriveBox(HINSTANCE instance) {
  fixed_.Load(instance, "FIXEDDRIVE");
  removable_.Load(instance, "REMOVABLEDRIVE");
}

void TDriveBox::Attach(HWND combo, TFolderList* folders) {
  combo_ = combo;
  folders_ = folders;
  control_.Subclass(combo, [this](UINT msg, WPARAM wp, LPARAM lp) { return control_.DefaultMessage(msg, wp, lp); });
  control_.ServeAccessible(*this);
}

std::string TDriveBox::ItemName(int item) const {
  if (item < 0 || size_t(item) >= entries_.size()) return std::string();
  const std::string& text = entries_[size_t(item)].Text;
  return text.substr(0, text.find_last_not_of(' ') + 1);  // "c: " without a label
}

DWORD TDriveBox::LogicalDriveMask() {
  LogicalDrivesFunction fn = g_logicalDrives;
  return fn ? fn() : GetLogicalDrives();
}

void TDriveBox::BuildEntries(DWORD mask) {
  TQuietDriveErrors quiet;
  entries_.clear();
  for (int d = kFirstListedDrive; d <= kLastDrive; ++d) {
    if (!((mask >> d) & 1)) continue;
    const char upper = char('A' + d);
    const std::string root = std::string(1, upper) + ":\\";
    const UINT type = DriveRootType(root);
    if (type == DRIVE_CDROM) continue;
    entries_.push_back({Lower(upper), DriveText(upper, type), IsPortableDrive(root)});
  }
  mask_ = mask;
  SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
  for (const TEntry& e : entries_) SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.Text.c_str()));
}

int TDriveBox::SelectedIndex() const {
  const LRESULT index = SendMessageA(combo_, CB_GETCURSEL, 0, 0);
  return index >= 0 && size_t(index) < entries_.size() ? int(index) : -1;
}

void TDriveBox::SelectText(const std::string& text) {
  int index = -1;
  for (size_t i = 0; i < entries_.size() && index < 0; ++i)
    if (entries_[i].Text == text) index = int(i);
  SendMessageA(combo_, CB_SETCURSEL, WPARAM(index), 0);
}

void TDriveBox::SetDrive(char letter, bool moveFolders) {
  letter = Lower(letter);
  if (SelectedIndex() >= 0 && letter == drive_) return;
  drive_ = letter;
  int index = -1;
  for (size_t i = 0; i < entries_.size() && index < 0; ++i)
    if (entries_[i].Letter == letter) index = int(i);
  SendMessageA(combo_, CB_SETCURSEL, WPARAM(index), 0);
  if (moveFolders && folders_) folders_->MoveToDrive(letter);
}

void TDriveBox::RefreshDrives() {
  const DWORD mask = LogicalDriveMask();
  if (mask == mask_) return;
  const DWORD old = mask_;
  const int selected = SelectedIndex();
  const std::string text = selected >= 0 ? entries_[size_t(selected)].Text : std::string();
  BuildEntries(mask);
  if (mask < old) {
    const bool present = IsLetter(drive_) && ((mask >> (drive_ - 'a')) & 1);
    if (present)
      SelectText(text);
    else
      SetDrive(ProgramFilesDrive());
    return;
  }
  // Only a drive the box lists can be followed: a new CD-ROM drive is none.
  for (const TEntry& e : entries_) {
    if (!((old >> (e.Letter - 'a')) & 1)) {
      SetDrive(e.Letter);
      return;
    }
  }
  SelectText(text);  // nothing listable came: the drive shown stays shown
}

void TDriveBox::SelectionChanged() {
  const int index = SelectedIndex();
  if (index >= 0) SetDrive(entries_[size_t(index)].Letter);
}

int TDriveBox::ItemHeight(int fontHeight) const {
  return std::max(fontHeight + ui::TWindowBase::Scaled(4, combo_), fixed_.Height());
}

void TDriveBox::DrawItem(const DRAWITEMSTRUCT& item) const {
  FillRow(item);
  if (item.itemID >= entries_.size()) return;  // also no entry at all (-1)
  const TEntry& e = entries_[item.itemID];
  // Gaps and indents scale with the DPI; the pictures are drawn as they are.
  DrawRow(item, e.Portable ? removable_ : fixed_, item.rcItem.left + ui::TWindowBase::Scaled(2, combo_),
          ui::TWindowBase::Scaled(4, combo_), e.Text);
}

// ---- TFolderList ----

TFolderList::TFolderList(HINSTANCE instance) {
  open_.Load(instance, "OPENFOLDER");
  closed_.Load(instance, "CLOSEDFOLDER");
}

void TFolderList::Attach(HWND list, TDriveBox* drives, std::function<void()> onChange) {
  list_ = list;
  drives_ = drives;
  onChange_ = std::move(onChange);
  control_.Subclass(list, [this](UINT msg, WPARAM wp, LPARAM lp) { return control_.DefaultMessage(msg, wp, lp); });
  control_.ServeAccessible(*this);
}

std::string TFolderList::ItemName(int item) const {
  return item >= 0 && size_t(item) < entries_.size() ? entries_[size_t(item)].Text : std::string();
}

bool TFolderList::SameAsCurrent(const std::string& path) const {
  return caseSensitive_ ? path == folder_ : instutils::SamePath(path, folder_);
}

void TFolderList::SetFolder(const std::string& path) {
  if (path.empty() || SameAsCurrent(path) || !HasDriveLetter(path)) return;
  TQuietDriveErrors quiet;
  const std::string folder = NearestExistingFolder(path);
  if (drives_ && (folder_.empty() || Lower(folder_[0]) != Lower(folder[0]))) drives_->SetDrive(folder[0], false);
  folder_ = folder;
  Rebuild();
  if (onChange_) onChange_();
}

void TFolderList::MoveToDrive(char letter) {
  if (static_cast<unsigned char>(letter) <= ' ' || (!folder_.empty() && Lower(folder_[0]) == Lower(letter))) return;
  TQuietDriveErrors quiet;
  const std::string programFiles = ProgramFiles();
  std::string folder;
  if (HasDriveLetter(programFiles) && Lower(programFiles[0]) == Lower(letter)) {
    folder = instutils::JoinPath(programFiles, kDefaultFolderName);
    if (!instutils::FolderExists(folder)) {
      folder = programFiles;
      instutils::AddBackslash(folder);
    }
  } else {
    const size_t colon = folder_.find(':');
    const std::string same = colon == std::string::npos ? std::string() : letter + folder_.substr(colon);
    folder = !same.empty() && instutils::FolderExists(same) ? same : std::string(1, letter) + ":\\";
  }
  folder_ = folder;
  Rebuild();
  if (onChange_) onChange_();
}

void TFolderList::Rebuild() {
  const std::string root = folder_.substr(0, 2) + "\\";
  const DWORD flags = VolumeFlags(root);
  caseSensitive_ = (flags & FS_CASE_SENSITIVE) != 0;
  const bool lowerCase = !(flags & (FS_CASE_IS_PRESERVED | FS_CASE_SENSITIVE));

  // The chain from the root down to the current folder, one level each.
  entries_.clear();
  entries_.push_back({root, folder_.substr(0, 2), 3, true});
  std::string path = folder_.substr(0, 2);
  for (size_t from = 3; from < folder_.size();) {
    size_t to = folder_.find('\\', from);
    if (to == std::string::npos) to = folder_.size();
    if (to > from) {
      const std::string part = folder_.substr(from, to - from);
      path += "\\" + part;
      entries_.push_back({path, part, 12 * int(entries_.size()) + 3, true});
    }
    from = to + 1;
  }
  const size_t current = entries_.size() - 1;

  // A trailing backslash is no level of its own; the root keeps its one.
  std::string trimmed = folder_;
  if (trimmed.size() > root.size() && trimmed.back() == '\\') trimmed.pop_back();
  const int depth = int(std::count(trimmed.begin(), trimmed.end(), '\\'));
  for (const std::string& name : SubfolderNames(folder_))
    entries_.push_back({instutils::JoinPath(folder_, name), name, 12 * depth + 15, false});
  if (lowerCase)
    for (TEntry& e : entries_) e.Text = Lowered(e.Text);

  size_t chars = 0;
  for (const TEntry& e : entries_) chars += e.Path.size() + 1;
  SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list_, LB_RESETCONTENT, 0, 0);
  SendMessageA(list_, LB_INITSTORAGE, entries_.size(), LPARAM(chars));
  for (const TEntry& e : entries_) SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.Path.c_str()));
  SendMessageA(list_, LB_SETCURSEL, current, 0);
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

void TFolderList::SelectionChanged() {
  const LRESULT index = SendMessageA(list_, LB_GETCURSEL, 0, 0);
  if (index < 0 || size_t(index) >= entries_.size()) return;
  // The list is rebuilt under the mouse: a button still held must not pick
  // an entry of the new list.
  if (GetCapture() == list_) ReleaseCapture();
  const std::string path = entries_[size_t(index)].Path;  // a copy: the rebuild replaces the entries
  SetFolder(path);
}

int TFolderList::ItemHeight(int fontHeight) const { return std::max(fontHeight, open_.Height() + 1); }

void TFolderList::DrawItem(const DRAWITEMSTRUCT& item) const {
  FillRow(item);
  if (item.itemID >= entries_.size()) return;
  const TEntry& e = entries_[item.itemID];
  DrawRow(item, e.Open ? open_ : closed_, item.rcItem.left + ui::TWindowBase::Scaled(e.Indent, list_),
          ui::TWindowBase::Scaled(4, list_), e.Text);
}

}  // namespace wizard
