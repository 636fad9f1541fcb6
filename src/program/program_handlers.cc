#include "program/program_handlers.h"

#include "program/program.h"

namespace kavrel {

namespace {

// Each adapter runs its routine and gives no value, so the dispatcher leaves
// the event's result at 0.
template <void (*Action)()>
HandlerResult NoArguments(int32_t, const uint64_t*) {
  Action();
  return {};
}

HandlerResult DecorativeLabel(int32_t argCount, const uint64_t* args) {
  int32_t first = argCount > 0 && args ? int32_t(uint32_t(args[0])) : 0;
  int32_t second = argCount > 1 && args ? int32_t(uint32_t(args[1])) : 0;
  DecorativeLabelNotified(first, second);
  return {};
}

constexpr HandlerEntry kEntries[] = {
    {0x164, NoArguments<SetStaticAddress>},
    {0x480, NoArguments<AddAlternateDns>},
    {0x797, NoArguments<MainWindowCreated>},
    {0x79E, NoArguments<UseDhcp>},
    {0x9CC, NoArguments<SetPreferredDns>},
    {0xCDE, DecorativeLabel},
};

}  // namespace

constinit const HandlerTable kProgramHandlers{kEntries};

}  // namespace kavrel
