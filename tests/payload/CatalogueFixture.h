// A fresh test catalogue and an empty install log for each test, both gone
// again after it, with the write seam restored.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "instutils/Logs.h"
#include "instutils/ShellFolders.h"
#include "payload/TestSeams.h"
#include "tests/payload/TestCatalogue.h"

namespace testing_payload {

class CatalogueTest : public testing::Test {
 protected:
  void SetUp() override {
    instutils::BindSpecialFolderLookup();
    instutils::StartInstallLog("");
    cat = NewTestCatalogue();
  }
  void TearDown() override {
    SetWriteFileFunction(nullptr);
    cat.reset();
    instutils::ResetLogs();
  }

  std::unique_ptr<TAttachedFiles> cat;
};

}  // namespace testing_payload
