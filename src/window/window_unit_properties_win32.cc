// The window type's interface routines and the window unit's own
// properties, read and changed in place.
#include <cstring>
#include <string>

#include "framework/program_text_win32.h"
#include "units/unit_interface_win32.h"
#include "window/window_type.h"
#include "window/window_unit_win32.h"

namespace kavrel {

namespace {

// Choice properties are clamped into their range.
uint32_t Clamp(uintptr_t value, uint32_t last) {
  const int32_t v = int32_t(uint32_t(value));
  return v < 0 ? 0 : (uint32_t(v) > last ? last : uint32_t(v));
}

std::vector<uint8_t> BytesOf(const PropertyValue& value) {
  const auto* p = reinterpret_cast<const uint8_t*>(value.word0);
  if (!p || value.word1 == 0) return {};
  return {p, p + value.word1};
}

std::string TextOf(const PropertyValue& value) {
  const char* p = reinterpret_cast<const char*>(value.word0);
  return p ? std::string(p) : std::string();
}

// Interface routines of the window type.
BOOL KAVREL_STDCALL GetWindowProperty(Window* unit, int32_t own, PropertyValue* value) {
  WindowUnit* window = WindowUnit::FromWindow(unit);
  if (!window || !value) return FALSE;
  return window->GetOwnProperty(own, *value) ? TRUE : FALSE;
}

BOOL KAVREL_STDCALL WindowPropertyChanged(Window* unit, int32_t own, const PropertyValue* value, const char** tip) {
  if (tip) *tip = nullptr;
  WindowUnit* window = WindowUnit::FromWindow(unit);
  if (window && value) window->SetOwnProperty(own, *value);
  return FALSE;  // the window applies every change in place
}

// A movable shared block sized exactly to the blob.
HGLOBAL BlobBlock(const std::vector<uint8_t>& blob) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, blob.size());
  if (!block) return nullptr;
  if (!blob.empty()) {
    void* p = GlobalLock(block);
    if (!p) {
      GlobalFree(block);
      return nullptr;
    }
    memcpy(p, blob.data(), blob.size());
    GlobalUnlock(block);
  }
  return block;
}

HGLOBAL KAVREL_STDCALL SaveWindowProperties(Window* unit) {
  WindowUnit* window = WindowUnit::FromWindow(unit);
  return window ? BlobBlock(window->props().Save()) : nullptr;
}

HGLOBAL KAVREL_STDCALL ConvertWindowTexts(const uint8_t* blob, int32_t* blobSize, TextConverterFn converter,
                                          uintptr_t user) {
  if (!blobSize) return nullptr;
  WindowProps props;
  std::span<const uint8_t> bytes;
  if (blob && *blobSize > 0) bytes = {blob, size_t(*blobSize)};
  if (!props.Load(bytes)) return nullptr;
  if (converter) {
    converter(&props.caption, 0, user);
    converter(&props.helpFile, 0, user);
  }
  std::vector<uint8_t> saved = props.Save();
  *blobSize = int32_t(saved.size());
  return BlobBlock(saved);
}


}  // namespace

void* KAVREL_STDCALL WindowUnitInterface(int32_t number) {
  switch (number) {
    case iface::kCreate:
      return reinterpret_cast<void*>(&WindowUnit::Create);
    case iface::kPropertyChanged:
      return reinterpret_cast<void*>(&WindowPropertyChanged);
    case iface::kSaveProperties:
      return reinterpret_cast<void*>(&SaveWindowProperties);
    case iface::kGetProperty:
      return reinterpret_cast<void*>(&GetWindowProperty);
    case iface::kConvertTexts:
      return reinterpret_cast<void*>(&ConvertWindowTexts);
    default:
      return nullptr;
  }
}

bool WindowUnit::GetOwnProperty(int32_t own, PropertyValue& value) const {
  value = PropertyValue{};
  auto text = [&](const std::string& t) { value.word0 = reinterpret_cast<uintptr_t>(t.c_str()); };
  auto bytes = [&](const std::vector<uint8_t>& b) {
    value.word0 = b.empty() ? 0 : reinterpret_cast<uintptr_t>(b.data());
    value.word1 = uint32_t(b.size());
  };
  switch (WindowOwn(own)) {
    case WindowOwn::kCaption: text(props_.caption); break;
    case WindowOwn::kBorder: value.word0 = props_.border; break;
    case WindowOwn::kBackColour: value.word0 = props_.backColour; break;
    case WindowOwn::kPicture: bytes(props_.picture); break;
    case WindowOwn::kPictureMode: value.word0 = props_.pictureMode; break;
    case WindowOwn::kSound: bytes(props_.sound); break;
    case WindowOwn::kSoundMode: value.word0 = props_.soundMode; break;
    case WindowOwn::kControlBox: value.word0 = props_.controlBox; break;
    case WindowOwn::kMaxButton: value.word0 = props_.maxButton; break;
    case WindowOwn::kMinButton: value.word0 = props_.minButton; break;
    case WindowOwn::kStartPosition: value.word0 = props_.startPosition; break;
    case WindowOwn::kMovable: value.word0 = props_.movable; break;
    case WindowOwn::kIcon: bytes(props_.icon); break;
    case WindowOwn::kEnterMovesOn: value.word0 = props_.enterMovesOn; break;
    case WindowOwn::kEscCloses: value.word0 = props_.escCloses; break;
    case WindowOwn::kF1Help: value.word0 = props_.f1Help; break;
    case WindowOwn::kHelpFile: text(props_.helpFile); break;
    case WindowOwn::kHelpContext: value.word0 = props_.helpContext; break;
    case WindowOwn::kTaskbar: value.word0 = props_.taskbar; break;
    case WindowOwn::kDragAnywhere: value.word0 = props_.dragAnywhere; break;
    case WindowOwn::kShape: value.word0 = props_.shape; break;
    case WindowOwn::kAlwaysOnTop: value.word0 = props_.alwaysOnTop; break;
    case WindowOwn::kProperty22: value.word0 = props_.property22; break;
    case WindowOwn::kClassName: text(props_.className); break;
    default: return false;
  }
  return true;
}

bool WindowUnit::SetOwnProperty(int32_t own, const PropertyValue& value) {
  const uint32_t word = uint32_t(value.word0);
  const uint32_t logical = word != 0 ? 1 : 0;
  HWND hwnd = this->hwnd();
  switch (WindowOwn(own)) {
    case WindowOwn::kCaption:
      props_.caption = TextOf(value);
      SetWindowProgramText(hwnd, props_.caption);
      ApplyFrameStyle();
      break;
    case WindowOwn::kBorder:
      props_.border = Clamp(value.word0, 6);
      ApplyFrameStyle();
      break;
    case WindowOwn::kBackColour:
      props_.backColour = word;
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case WindowOwn::kPicture:
      props_.picture = BytesOf(value);
      stretched_.Reset();
      picture_.Reset();
      pictureUnsound_ = false;
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case WindowOwn::kPictureMode:
      props_.pictureMode = Clamp(value.word0, 3);
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case WindowOwn::kSound: props_.sound = BytesOf(value); break;
    case WindowOwn::kSoundMode: props_.soundMode = Clamp(value.word0, 2); break;
    case WindowOwn::kControlBox:
      props_.controlBox = logical;
      ApplyFrameStyle();
      break;
    case WindowOwn::kMaxButton:
      props_.maxButton = logical;
      ApplyFrameStyle();
      break;
    case WindowOwn::kMinButton:
      props_.minButton = logical;
      ApplyFrameStyle();
      break;
    case WindowOwn::kStartPosition: props_.startPosition = Clamp(value.word0, 3); break;
    case WindowOwn::kMovable:
      props_.movable = logical;
      ApplyMovable();
      break;
    case WindowOwn::kIcon:
      props_.icon = BytesOf(value);
      ApplyIcons();
      break;
    case WindowOwn::kEnterMovesOn: props_.enterMovesOn = logical; break;
    case WindowOwn::kEscCloses: props_.escCloses = logical; break;
    case WindowOwn::kF1Help: props_.f1Help = logical; break;
    case WindowOwn::kHelpFile: props_.helpFile = TextOf(value); break;
    case WindowOwn::kHelpContext: props_.helpContext = word; break;
    case WindowOwn::kTaskbar: props_.taskbar = logical; break;
    case WindowOwn::kDragAnywhere: props_.dragAnywhere = logical; break;
    case WindowOwn::kShape:
      props_.shape = Clamp(value.word0, 29);
      ApplyShape();
      break;
    case WindowOwn::kAlwaysOnTop:
      props_.alwaysOnTop = logical;
      ApplyAlwaysOnTop();
      break;
    case WindowOwn::kProperty22: props_.property22 = word; break;
    case WindowOwn::kClassName: props_.className = TextOf(value); break;  // takes effect at the next load
    default: return false;
  }
  return true;
}


}  // namespace kavrel
