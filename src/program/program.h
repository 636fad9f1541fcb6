// The program proper: its main routine and the four network actions. It
// reaches the runtime only through the services table and the three library
// commands that the runtime binds before ProgramMain runs.
#pragma once

#include <cstdint>

#include "commands/runtime_services.h"
#include "commands/values.h"

namespace kavrel {

inline constexpr WindowId kMainWindow = 0x52010001;
inline constexpr UnitId kConnectionNameBox = 0x1601001a;
inline constexpr UnitId kAddressBox = 0x1601001f;
inline constexpr UnitId kMaskBox = 0x16010027;
inline constexpr UnitId kGatewayBox = 0x1601002d;
inline constexpr UnitId kPreferredDnsBox = 0x16010030;
inline constexpr UnitId kAlternateDnsBox = 0x16010036;
// A combo box's current content text.
inline constexpr int32_t kContentProperty = 9;

// Called by the runtime once, before ProgramMain; the table must outlive
// the program. The texts read from the units are in the program's own code
// page, 936, on every system.
void BindProgramRuntime(const RuntimeServices* services, const ProgramCommands& commands);

int32_t ProgramMain();
void ProgramInit();
void ProgramCleanup();

void SetStaticAddress();
void SetPreferredDns();
void AddAlternateDns();
void UseDhcp();

// The window's event 0 (created) and the decorative label's event 0: both
// do nothing.
void MainWindowCreated();
void DecorativeLabelNotified(int32_t first, int32_t second);

}  // namespace kavrel
