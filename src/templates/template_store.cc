#include "templates/template_store.h"

#include <memory>
#include <new>
#include <vector>

#include "commands/runtime_error.h"
#include "framework/memory_archive.h"

namespace kavrel {

bool ReadTemplateWindows(ByteReader& reader, WindowTable& windows) {
  std::vector<uint8_t> index;
  if (!reader.ReadByteString(index)) return false;
  // Ids in the first half, meaningless slot words in the second.
  if (index.size() % 8 != 0) return false;
  const size_t count = index.size() / 8;
  for (size_t i = 0; i < count; ++i) {
    auto window = std::make_unique<WindowTemplate>();
    window->id = LoadU32(index.data() + 4 * i);
    reader.ReadU32(window->designA);
    reader.ReadU32(window->designB);
    reader.ReadCountedText(window->designText1);
    reader.ReadCountedText(window->designText2);
    uint32_t units = 0;
    reader.ReadU32(units);
    std::vector<uint8_t> table;
    if (!reader.ReadByteString(table)) return false;
    std::optional<UnitTable> adopted = UnitTable::Adopt(std::move(table), units);
    if (!adopted) return false;
    window->SetUnits(std::move(*adopted));
    windows.Add(std::move(window));
  }
  return reader.ok();
}

bool LoadTemplateStore(std::span<const uint8_t> store, HandlerTable handlers, WindowTable& windows) {
  if (store.empty()) return true;
  try {
    WindowTable loaded;
    {
      MemoryArchive archive(store);
      if (!ReadTemplateWindows(archive.reader(), loaded)) return false;
    }
    for (size_t i = 0; i < loaded.size(); ++i)
      if (!loaded.At(i)->units().Relocate(handlers)) return false;
    windows.Append(std::move(loaded));
    windows.SetHandlers(handlers);
    return true;
  } catch (const std::bad_alloc&) {
    // Memory for a table or a text could not be had: the load fails as a
    // damaged block does. Append reserves first, so `windows` is untouched.
    return false;
  }
}

void LoadTemplateStoreOrReport(std::span<const uint8_t> store, HandlerTable handlers, WindowTable& windows) {
  if (!LoadTemplateStore(store, handlers, windows)) ReportFatal(kTemplateStoreLoadError, 0);
}

}  // namespace kavrel
