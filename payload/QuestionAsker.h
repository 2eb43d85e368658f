// What the catalogue and the install run cannot decide alone: a file that
// cannot be written, and a run that cannot go on. Whoever shows windows (the
// wizard) answers; payload itself never does.
#pragma once
#include <string>

enum TFileAnswer { faNone, faAbort, faRetry, faIgnore };

class TQuestionAsker {
 public:
  // Abort, Retry or Ignore for target. faNone: nobody can answer (the run is
  // being stopped); the file is then skipped.
  virtual TFileAnswer CannotWrite(const std::string& target) = 0;
  // Tells why the run ends; it fails once this returns.
  virtual void RunFailed(const std::string& text) = 0;

 protected:
  ~TQuestionAsker() = default;
};
