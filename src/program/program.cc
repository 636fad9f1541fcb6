#include "program/program.h"

#include <initializer_list>
#include <span>

#include "commands/text_ops.h"
#include "program/constant_block.h"
#include "program/input_check.h"

namespace kavrel {

namespace {

const RuntimeServices* g_services = nullptr;
ProgramCommands g_commands{};
const CodePageBytes g_codePage = CodePageBytes::ForCodePage(936);

const ConstantBlock& C = kConstants;

// Never null: a null text travels as the empty text of the constant block.
CommandArg TextArg(const char* text) { return CommandArg::OfText(text ? text : C.empty); }

// A fresh heap text owned by the caller, or null when the box is empty.
char* ReadUnit(UnitId unit) {
  PropertyBits value = g_services->GetUnitProperty(kMainWindow, unit, kContentProperty, -1);
  return const_cast<char*>(PropertyText(value));
}

void FreeText(char* text) { g_services->Free(text); }

bool SafeQuoted(const char* text) { return IsSafeQuotedText(text, g_codePage); }
bool SafeBare(const char* text) { return IsSafeBareText(text, g_codePage); }

bool UnitIsEmpty(UnitId unit) {
  char* text = ReadUnit(unit);
  bool empty = CompareText(text, C.empty) == 0;
  FreeText(text);
  return empty;
}

void ShowNotice(const char* message) {
  const CommandArg args[4] = {TextArg(message), CommandArg::OfInt(0), TextArg(C.noticeTitle),
                              CommandArg::Omitted()};
  g_services->CallCommand(g_commands.showMessageBox, 4, args);
}

char* MakeQuotationMark() {
  const CommandArg arg = TextArg(C.quotationMark);
  CommandResult result = g_services->CallCommand(g_commands.toText, 1, &arg);
  return reinterpret_cast<char*>(result.low);
}

// Starts the line without waiting, then frees it.
void Launch(char* line) {
  const CommandArg args[3] = {TextArg(line), CommandArg::OfLogical(false), CommandArg::Omitted()};
  g_services->CallCommand(g_commands.run, 3, args);
  FreeText(line);
}

// The tail every action shares: the line is joined only from texts that
// passed the check; then the texts read for it are freed in `freeOrder`,
// and the line is refused with a notice or started.
void JoinFreeAndRun(bool safe, std::span<const char* const> pieces, std::initializer_list<char*> freeOrder) {
  char* line = safe ? JoinTexts(int32_t(pieces.size()), pieces.data()) : nullptr;
  for (char* text : freeOrder) FreeText(text);
  if (!safe) return ShowNotice(C.illegalCharacters);
  Launch(line);
}

// The two DNS servers must differ; both are read and freed here.
bool DnsServersConflict() {
  char* preferred = ReadUnit(kPreferredDnsBox);
  char* alternate = ReadUnit(kAlternateDnsBox);
  bool same = CompareText(preferred, alternate) == 0;
  FreeText(preferred);
  FreeText(alternate);
  return same;
}

}  // namespace

void BindProgramRuntime(const RuntimeServices* services, const ProgramCommands& commands) {
  g_services = services;
  g_commands = commands;
}

int32_t ProgramMain() {
  if (!g_services) return 0;
  g_services->Notify(kNotifyInitRuntime, 0, 0);
  ProgramInit();
  g_services->Notify(kNotifyRegisterCleanup, reinterpret_cast<intptr_t>(&ProgramCleanup), 0);
  g_services->LoadWindow(kMainWindow);
  g_services->RunMessageLoop();
  return 0;
}

void ProgramInit() {}
void ProgramCleanup() {}

// The actions examine the very texts they have read for the line, once all
// of their own checks have passed and before the line is joined: what is
// examined is exactly what would run, no unit is read more often than the
// line needs, and a refused line frees the same texts in the same order as
// a line that runs.

void SetStaticAddress() {
  if (!g_services) return;
  if (UnitIsEmpty(kConnectionNameBox)) return ShowNotice(C.nameMissing);
  if (UnitIsEmpty(kAddressBox) || UnitIsEmpty(kMaskBox)) return ShowNotice(C.addressOrMaskMissing);

  char* q1 = MakeQuotationMark();
  char* q2 = MakeQuotationMark();
  char* name = ReadUnit(kConnectionNameBox);
  char* address = ReadUnit(kAddressBox);
  char* mask = ReadUnit(kMaskBox);
  char* gateway = ReadUnit(kGatewayBox);
  const bool safe = SafeQuoted(name) && SafeBare(address) && SafeBare(mask) && SafeBare(gateway);
  const char* pieces[] = {C.setAddress, q1, name, q2, C.staticKeyword, address, C.blank, mask, C.blank, gateway};
  JoinFreeAndRun(safe, pieces, {q1, name, q2, address, mask, gateway});
}

void SetPreferredDns() {
  if (!g_services) return;
  if (UnitIsEmpty(kConnectionNameBox)) return ShowNotice(C.nameMissing);
  if (UnitIsEmpty(kPreferredDnsBox)) return ShowNotice(C.preferredMissing);
  if (DnsServersConflict()) return ShowNotice(C.preferredConflict);

  char* q1 = MakeQuotationMark();
  char* q2 = MakeQuotationMark();
  char* name = ReadUnit(kConnectionNameBox);
  char* preferred = ReadUnit(kPreferredDnsBox);
  const bool safe = SafeQuoted(name) && SafeBare(preferred);
  const char* pieces[] = {C.setDnsName, q1, name, q2, C.staticKeyword, preferred};
  JoinFreeAndRun(safe, pieces, {q1, name, q2, preferred});
}

void AddAlternateDns() {
  if (!g_services) return;
  if (UnitIsEmpty(kConnectionNameBox)) return ShowNotice(C.nameMissing);
  if (UnitIsEmpty(kAlternateDnsBox)) return ShowNotice(C.alternateMissing);
  if (DnsServersConflict()) return ShowNotice(C.alternateConflict);

  char* q1 = MakeQuotationMark();
  char* q2 = MakeQuotationMark();
  char* name = ReadUnit(kConnectionNameBox);
  char* alternate = ReadUnit(kAlternateDnsBox);
  const bool safe = SafeQuoted(name) && SafeBare(alternate);
  const char* pieces[] = {C.addDnsName, q1, name, q2, C.addKeyword, alternate, C.secondIndex};
  JoinFreeAndRun(safe, pieces, {q1, name, q2, alternate});
}

void UseDhcp() {
  if (!g_services) return;
  if (UnitIsEmpty(kConnectionNameBox)) return ShowNotice(C.nameMissing);

  char* q1 = MakeQuotationMark();
  char* q2 = MakeQuotationMark();
  char* q3 = MakeQuotationMark();
  char* q4 = MakeQuotationMark();
  char* name1 = ReadUnit(kConnectionNameBox);
  char* name2 = ReadUnit(kConnectionNameBox);
  const bool safe = SafeQuoted(name1) && SafeQuoted(name2);
  const char* pieces[] = {C.setAddress, q1, name1, q2, C.dhcpThenSetDns, q3, name2, q4, C.dhcpKeyword};
  JoinFreeAndRun(safe, pieces, {q1, name1, q2, q3, name2, q4});
}

void MainWindowCreated() {}
void DecorativeLabelNotified(int32_t, int32_t) {}

}  // namespace kavrel
