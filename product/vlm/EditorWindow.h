// The main window: a frame around one multi-line edit area.
#pragma once
#include <windows.h>

#include <string>

#include "base/WinHandles.h"

namespace vlm {

class TEditorWindow {
 public:
  explicit TEditorWindow(HINSTANCE instance) : instance_(instance) {}
  TEditorWindow(const TEditorWindow&) = delete;
  TEditorWindow& operator=(const TEditorWindow&) = delete;

  // Registers the class and creates the window, hidden until Show; false
  // when Windows refused.
  bool Create();
  // Puts the text of the file at path in the window and names it in the
  // caption; false, with the window left as it was, when it cannot be read.
  bool LoadDocument(const std::string& path);
  void Show(int showCommand);
  HWND Handle() const { return hwnd_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);

  bool FormCreate();
  void FormResize(int width, int height);
  void SetTextFont();
  void FormDpiChanged(const RECT& suggested);
  void FormActivate();
  void FormDestroy();

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND textEdt_ = nullptr;
  base::UniqueFont font_;  // outlives the edit area
};

}  // namespace vlm
