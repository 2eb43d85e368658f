// A small payload shaped like the shipped one, and scratch folders, for the
// catalogue tests.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "payload/AttachFiles.h"

namespace testing_payload {

struct TestRecord {
  std::string name;
  double stamp;
  std::string data;
};

constexpr double kVlmStamp = 43701.85502314815;              // 24 August 2019 20:31:14
constexpr double kUserDicStamp = 36596.0 + 10.0 / 24.0;      // 11 March 2000 10:00:00
constexpr int32_t kVlmSize = 4374696;

// Archive order. The 19 templates come in a mixed order of folders, with other
// records between them, among them names that would leave the target folder.
const std::vector<TestRecord>& TestRecords();
std::vector<std::string> TemplateNames();  // the 19, in archive order
const TestRecord& RecordNamed(const std::string& name);

// A fresh catalogue over TestRecords (the stream is packed once).
std::unique_ptr<TAttachedFiles> NewTestCatalogue();
const TAttachedFile* Entry(const TAttachedFiles& c, const std::string& name);

// A new empty folder under the temporary folder (never the setup's own
// prefix), removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const std::string& path() const { return path_; }  // ends in "\"
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// The wizard's part in a test: the extraction's questions answered from a
// script, each answer after an action of its own. An unexpected question
// is answered Abort.
struct ScriptedAsker final : TQuestionAsker {
  struct Answer {
    TFileAnswer answer;
    std::function<void()> before;
  };
  std::deque<Answer> script;
  std::vector<std::string> asked;     // targets, in order
  std::vector<std::string> failures;  // texts of RunFailed
  TFileAnswer CannotWrite(const std::string& target) override;
  void RunFailed(const std::string& text) override { failures.push_back(text); }
};

std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& data);
bool Exists(const std::string& path);
// The file's last-write time in local time, to the second.
SYSTEMTIME LocalWriteTime(const std::string& path);
bool ShiftWriteTime(const std::string& path, int seconds);

}  // namespace testing_payload
