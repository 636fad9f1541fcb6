// The fixture of the tests that drive the real Kavrel.exe: a fresh program
// per test, its units found by their designed class and position, and the
// steps every action test takes (fill the boxes, press, read the notice or
// the recorded netsh runs).
#pragma once

#include <map>

#include "e2e_support_win32.h"
#include "main_window_expect.h"

namespace kavrel::e2e {

struct Fields {
  std::string name, address, mask, gateway, preferred, alternate;
};

class KavrelTest : public SessionTest {
 protected:
  // With KAVREL_E2E_PLANTED=1 Kavrel.exe runs from a folder of its own,
  // beside stand-ins named as cmd and netsh would be found there.
  StartOptions Options() const override;
  void SetUp() override;

  // The stand-ins of the planted folder that ran, by name; empty when it is
  // not planted.
  std::vector<std::string> PlantedStandInsThatRan() const;

  // The live window of a designed unit (null when it is not there).
  HWND Unit(uint32_t id) const;

  testing::AssertionResult Fill(const Fields& fields) const;
  Fields Read() const;

  // Presses the button and expects exactly this notice, task-modal, with an
  // OK button and no icon; closes it and expects nothing to have run and
  // every box to hold what it held before.
  testing::AssertionResult ExpectNotice(uint32_t button, const std::string& message) const;
  // Presses the button and returns the netsh runs it caused once `count`
  // are recorded and the started processes are gone (the log is then read
  // again, so a run too many shows). A press whose runs
  // Wine's cmd could not start, as it said on standard error, is pressed
  // again, at most kMaxPlatformRepeats times in a test.
  std::optional<std::vector<NetshRecord>> PressAndRecord(uint32_t button, size_t count);
  int platformRepeats() const { return platformRepeats_; }

 private:
  std::string PressState(const StandardErrorCopy& said, const EventMarks& marks) const;

  static constexpr int kMaxPlatformRepeats = 5;
  std::map<uint32_t, HWND> units_;
  int platformRepeats_ = 0;
};

// The system folder, where every program Kavrel starts starts.
std::string SystemFolder();


}  // namespace kavrel::e2e
