#include "templates/window_template.h"

#include "templates/unit_template.h"

namespace kavrel {

void WindowTemplate::RestoreTableAfterDestroy() {
  if (!saved_) return;
  std::swap(units_, *saved_);
  saved_.reset();
}

std::optional<WindowTable::Found> WindowTable::Find(WindowId id) const {
  if (!IsValidId(id)) return std::nullopt;
  for (size_t i = 0; i < windows_.size(); ++i)
    if (windows_[i].id == id) return Found{windows_[i].window.get(), i};
  return std::nullopt;
}

WindowTemplate* WindowTable::At(size_t position) const {
  return position < windows_.size() ? windows_[position].window.get() : nullptr;
}

std::optional<WindowId> WindowTable::IdOf(const WindowTemplate* window) const {
  for (const Entry& e : windows_)
    if (e.window.get() == window) return e.id;
  return std::nullopt;
}

void WindowTable::Add(std::unique_ptr<WindowTemplate> window) {
  const WindowId id = window->id;
  windows_.push_back({id, std::move(window)});
}

void WindowTable::Append(WindowTable&& other) {
  windows_.reserve(windows_.size() + other.windows_.size());
  for (Entry& e : other.windows_) windows_.push_back(std::move(e));
  other.windows_.clear();
}

}  // namespace kavrel
