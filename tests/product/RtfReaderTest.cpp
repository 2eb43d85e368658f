// Every RTF record opened by the system's rich-text reader, as a word
// processor would open it: the whole stream is taken and the visible text is
// what the piece says, with no control words leaking into it.
#include <gtest/gtest.h>
#include <richedit.h>
#include <windows.h>

#include <algorithm>
#include <memory>

#include "base/WinHandles.h"
#include "payload/AttachFiles.h"

namespace {

std::string SetupPath() {
  const auto& argv = testing::internal::GetArgvs();
  std::string path = argv.size() > 1 ? argv[1] : std::string();
  if (!path.empty() && path[0] == '/') {
    std::replace(path.begin(), path.end(), '/', '\\');
    path = "Z:" + path;
  }
  return path;
}

struct StreamSource {
  const std::string* data;
  size_t at;
};

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
  auto* src = reinterpret_cast<StreamSource*>(cookie);
  const size_t n = std::min(size_t(wanted), src->data->size() - src->at);
  memcpy(buffer, src->data->data() + src->at, n);
  src->at += n;
  *got = LONG(n);
  return 0;
}

struct Loaded {
  bool wholeStreamRead = false;
  std::string text;
};

Loaded LoadRtf(HWND edit, const std::string& rtf) {
  StreamSource src{&rtf, 0};
  EDITSTREAM es = {};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&src);
  es.pfnCallback = &ReadChunk;
  SendMessageA(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
  Loaded out;
  out.wholeStreamRead = es.dwError == 0 && src.at == rtf.size();
  GETTEXTLENGTHEX len = {GTL_DEFAULT, CP_ACP};
  const LRESULT n = SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0);
  out.text.assign(size_t(n) + 1, '\0');
  GETTEXTEX get = {DWORD(out.text.size()), GT_DEFAULT, CP_ACP, nullptr, nullptr};
  out.text.resize(size_t(SendMessageA(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                      reinterpret_cast<LPARAM>(&out.text[0]))));
  return out;
}

bool StartsWith(const std::string& s, const char* head) { return s.compare(0, strlen(head), head) == 0; }

}  // namespace

TEST(ShippedRtf, TheRichTextReaderTakesEveryPieceAndShowsItsText) {
  HMODULE m = LoadLibraryExA(SetupPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(m, nullptr);
  TAttachedFiles files(m);
  FreeLibrary(m);
  ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr);
  base::UniqueHandleT<base::WindowTraits> edit(
      CreateWindowExA(0, RICHEDIT_CLASSA, "", WS_POPUP | ES_MULTILINE, 0, 0, 600, 400, nullptr, nullptr,
                      GetModuleHandleA(nullptr), nullptr));
  ASSERT_TRUE(edit.valid());

  int checked = 0;
  for (const auto& f : files.Files()) {
    if (f.Name.size() < 4 || f.Name.compare(f.Name.size() - 4, 4, ".rtf") != 0) continue;
    const std::string rtf(reinterpret_cast<const char*>(files.Data()) + f.Offset, f.Size);
    const Loaded doc = LoadRtf(edit.get(), rtf);
    ++checked;
    EXPECT_TRUE(doc.wholeStreamRead) << f.Name;
    EXPECT_EQ(doc.text.find_first_of("\\{}"), std::string::npos) << f.Name << ": " << doc.text;

    // What the piece must say, from its own name where the name is its text.
    const std::string file = f.Name.substr(f.Name.rfind('\\') + 1);
    const std::string stem = file.substr(0, file.size() - 4);
    std::string expected;
    if (StartsWith(f.Name, "Clip Library\\Closings\\")) expected = stem + ",";
    else if (StartsWith(f.Name, "Templates\\Letters\\")) expected = "Dear [Recipient Name],";
    else if (StartsWith(f.Name, "Templates\\Faxes\\")) expected = "[Recipient fax number]";
    else if (StartsWith(f.Name, "Templates\\Memos\\")) expected = "Subject:";
    else if (StartsWith(f.Name, "Templates\\Stories\\")) expected = "[Title of the Story]";
    else if (StartsWith(f.Name, "Templates\\TOCs\\")) expected = "[Chapter 1 title]";
    else if (StartsWith(f.Name, "Clip Library\\Salutations\\")) expected = stem.substr(0, 4);
    if (!expected.empty()) {
      EXPECT_NE(doc.text.find(expected), std::string::npos) << f.Name << ": " << doc.text;
    }
  }
  EXPECT_EQ(checked, 19 + 117);

  // Characters outside ASCII survive the code-page escapes.
  for (const auto& f : files.Files()) {
    if (f.Name != "Clip Library\\Miscellaneous\\Copyright Notice.rtf") continue;
    const std::string rtf(reinterpret_cast<const char*>(files.Data()) + f.Offset, f.Size);
    EXPECT_NE(LoadRtf(edit.get(), rtf).text.find("Copyright \xA9 [Year]"), std::string::npos);
  }
}
