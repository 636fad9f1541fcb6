// What every end-to-end test shares: the recording netsh installed once per
// run, its log, and a fixture that starts a fresh program for each test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "driver_win32.h"

namespace kavrel::e2e {

// The run's netsh log; the recording netsh is installed before any test.
const NetshLogFile& TheNetshLog();

// Starts the program of Options() before each test and ends it after.
class SessionTest : public testing::Test {
 protected:
  virtual StartOptions Options() const = 0;
  void SetUp() override;
  void TearDown() override;

  // Nothing was started and nothing was logged: the program has no child
  // process and the netsh log holds no record, also a little later.
  void ExpectNothingRun() const;

  std::unique_ptr<AppSession> app;
  const NetshLogFile& log = TheNetshLog();
};

}  // namespace kavrel::e2e
