// The deserialised windows of the template store and the application's list
// of them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/runtime_services.h"
#include "templates/handler_table.h"
#include "templates/unit_table.h"

namespace kavrel {

class WindowTemplate {
 public:
  WindowId id = 0;
  // Kept as stored; nothing in the runtime interprets them.
  uint32_t designA = 0;
  uint32_t designB = 0;
  std::string designText1;
  std::string designText2;

  UnitTable& units() { return units_; }
  const UnitTable& units() const { return units_; }
  void SetUnits(UnitTable table) { units_ = std::move(table); }

  // A window load starts by saving the table as it stands, so that the
  // slots the live window writes can be taken back when it goes away.
  void SaveTableForLoad() { saved_ = units_; }
  // A load given up before the window came to life drops the saved copy.
  void DropSavedTable() { saved_.reset(); }
  // The window is destroyed: the saved table becomes current again and the
  // one the window wrote is discarded. Without a saved copy nothing changes.
  void RestoreTableAfterDestroy();
  bool HasSavedTable() const { return saved_.has_value(); }

 private:
  UnitTable units_;
  std::optional<UnitTable> saved_;
};

// The application's window list: (WindowId, WindowTemplate) pairs in store
// order. It owns the templates.
class WindowTable {
 public:
  struct Found {
    WindowTemplate* window;
    size_t position;
  };

  size_t size() const { return windows_.size(); }
  bool empty() const { return windows_.empty(); }

  // Invalid identifiers find nothing; otherwise the first match counts.
  std::optional<Found> Find(WindowId id) const;
  // Null past the end.
  WindowTemplate* At(size_t position) const;
  // Searched by identity among the list's templates.
  std::optional<WindowId> IdOf(const WindowTemplate* window) const;

  void Add(std::unique_ptr<WindowTemplate> window);
  // Moves every window of `other` behind those already here.
  void Append(WindowTable&& other);
  void Clear() { windows_.clear(); }

  // The routines that relocated handler words refer to.
  HandlerTable handlers() const { return handlers_; }
  void SetHandlers(HandlerTable handlers) { handlers_ = handlers; }
  EventHandler HandlerOf(uint32_t word) const { return ResolveHandler(handlers_, word); }

 private:
  struct Entry {
    WindowId id;
    std::unique_ptr<WindowTemplate> window;
  };
  std::vector<Entry> windows_;
  HandlerTable handlers_;
};

}  // namespace kavrel
