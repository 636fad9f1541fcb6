#include "engine_test_support.h"

#include <gtest/gtest.h>

#include <array>

#include "app/runtime_app_win32.h"
#include "app/runtime_services_win32.h"
#include "base/byte_writer.h"
#include "templates/property_blob.h"
#include "templates/template_store.h"
#include "units/unit_interface_win32.h"
#include "window/window_type.h"
#include "window/window_unit_win32.h"

namespace kavrel::engine_test {

namespace {

constexpr wchar_t kBoxClass[] = L"KavrelTestBox";
constexpr uint32_t kFirstOffset = 0x1000;

RuntimeApp& App() { return RuntimeApp::Instance(); }

intptr_t Callback(int32_t code, intptr_t arg1, intptr_t arg2) { return App().LibraryCallback(code, arg1, arg2); }

std::vector<HandlerCall> g_calls;
std::array<HandlerResult, kHandlerCount> g_results;
std::vector<std::pair<UnitId, int32_t>> g_creations;

template <int N>
HandlerResult Handler(int32_t argCount, const uint64_t* args) {
  EventDispatcher::Source source = Engine().eventSource();
  g_calls.push_back({N, std::vector<uint64_t>(args, args + argCount), source.window, source.unit});
  return g_results[N];
}

template <size_t... I>
constexpr std::array<HandlerEntry, sizeof...(I)> MakeHandlers(std::index_sequence<I...>) {
  return {HandlerEntry{uint32_t(kFirstOffset + 16 * I), &Handler<int(I)>}...};
}
constexpr auto kHandlers = MakeHandlers(std::make_index_sequence<kHandlerCount>());

// The test types' routines.
Window* KAVREL_STDCALL CreateBox(const uint8_t* blob, int32_t blobSize, uint32_t style, HWND parent, int32_t controlId,
                                 int32_t, int32_t x, int32_t y, int32_t width, int32_t height, WindowId window,
                                 UnitId unit, int32_t, int32_t) {
  auto* box = new Box;
  std::span<const uint8_t> bytes;
  if (blob && blobSize > 0) bytes = {blob, size_t(blobSize)};
  if (!LoadPropertyBlob(box->props, bytes)) {
    delete box;
    return nullptr;
  }
  box->window = window;
  box->unit = unit;
  box->controlId = controlId;
  if (!box->CreateEx(0, kBoxClass, box->props.text.c_str(), style | WS_CHILD | WS_CLIPSIBLINGS, x, y, width, height,
                     parent, reinterpret_cast<HMENU>(intptr_t(controlId)))) {
    delete box;
    return nullptr;
  }
  g_creations.push_back({unit, controlId});
  return box;
}

Window* KAVREL_STDCALL CreateBroken(const uint8_t*, int32_t, uint32_t, HWND, int32_t, int32_t, int32_t, int32_t,
                                    int32_t, int32_t, WindowId, UnitId, int32_t, int32_t) {
  return nullptr;
}

BOOL KAVREL_STDCALL GetBoxProperty(Window* unit, int32_t own, PropertyValue* value) {
  auto* box = dynamic_cast<Box*>(unit);
  if (!box || !value) return FALSE;
  switch (own) {
    case 0:
      value->word0 = reinterpret_cast<uintptr_t>(box->props.text.c_str());
      return TRUE;
    case 1:
      value->word0 = uint32_t(box->props.number);
      return TRUE;
    case 2:
      value->word0 = box->props.font.empty() ? 0 : reinterpret_cast<uintptr_t>(box->props.font.data());
      value->word1 = uint32_t(box->props.font.size());
      return TRUE;
    default:
      return FALSE;
  }
}

// Text and font change in place; a new number needs the unit made again.
BOOL KAVREL_STDCALL BoxPropertyChanged(Window* unit, int32_t own, const PropertyValue* value, const char** tip) {
  if (tip) *tip = nullptr;
  auto* box = dynamic_cast<Box*>(unit);
  if (!box || !value) return FALSE;
  switch (own) {
    case 0:
      box->props.text = value->word0 ? reinterpret_cast<const char*>(value->word0) : "";
      SetWindowTextA(box->hwnd(), box->props.text.c_str());
      return FALSE;
    case 1:
      box->props.number = int32_t(uint32_t(value->word0));
      return TRUE;
    case 2: {
      const auto* p = reinterpret_cast<const uint8_t*>(value->word0);
      box->props.font.assign(p, p ? p + value->word1 : p);
      return FALSE;
    }
    default:
      return FALSE;
  }
}

HGLOBAL KAVREL_STDCALL SaveBox(Window* unit) {
  auto* box = dynamic_cast<Box*>(unit);
  if (!box) return nullptr;
  std::vector<uint8_t> blob = SavePropertyBlob(box->props);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, blob.size());
  if (void* p = GlobalLock(block)) {
    memcpy(p, blob.data(), blob.size());
    GlobalUnlock(block);
  }
  return block;
}

BOOL KAVREL_STDCALL IsDefaultBox(Window* unit) {
  auto* box = dynamic_cast<Box*>(unit);
  return box && box->props.number == 1;
}

void* KAVREL_STDCALL BoxInterface(int32_t number) {
  switch (number) {
    case iface::kCreate: return reinterpret_cast<void*>(&CreateBox);
    case iface::kPropertyChanged: return reinterpret_cast<void*>(&BoxPropertyChanged);
    case iface::kSaveProperties: return reinterpret_cast<void*>(&SaveBox);
    case iface::kGetProperty: return reinterpret_cast<void*>(&GetBoxProperty);
    case iface::kIsDefaultButton: return reinterpret_cast<void*>(&IsDefaultBox);
    default: return nullptr;
  }
}

void* KAVREL_STDCALL BrokenInterface(int32_t number) {
  return number == iface::kCreate ? reinterpret_cast<void*>(&CreateBroken) : nullptr;
}

constexpr PropertyDescriptor Entry(int16_t type) { return {nullptr, nullptr, nullptr, type, 0, nullptr}; }
const PropertyDescriptor kBoxProperties[] = {
    Entry(ptype::kInteger), Entry(ptype::kInteger), Entry(ptype::kInteger), Entry(ptype::kInteger),
    Entry(ptype::kText),    Entry(ptype::kLogical), Entry(ptype::kLogical), Entry(ptype::kCursor),
    Entry(ptype::kText),    Entry(ptype::kInteger), Entry(ptype::kFont),
};

UnitTypeDescriptor Type(uint32_t flags, GetUnitInterfaceFn routine) {
  UnitTypeDescriptor d{};
  d.englishName = "test";
  d.stateFlags = flags;
  d.propertyCount = int32_t(std::size(kBoxProperties));
  d.properties = kBoxProperties;
  d.getInterface = routine;
  return d;
}

const std::vector<UnitTypeDescriptor>& TestTypes() {
  static const std::vector<UnitTypeDescriptor> types = {
      kWindowUnitType,
      Type(typeflag::kEventsB | typeflag::kDefaultButtonCapable, &BoxInterface),
      UnitTypeDescriptor{},  // menu items
      Type(typeflag::kEventsB | typeflag::kPaged | typeflag::kPassive, &BoxInterface),
      Type(typeflag::kEventsB, &BrokenInterface),
  };
  return types;
}

uint32_t g_serial = 0x300;

}  // namespace

LRESULT Box::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kUnitsLoadedMessage:
    case kFocusSettledMessage: {
      SimpleEventRecord r;
      r.window = window;
      r.unit = unit;
      r.event = msg == kUnitsLoadedMessage ? kBoxLoadedEvent : kBoxSettledEvent;
      Callback(2008, reinterpret_cast<intptr_t>(&r), 0);
      return 0;
    }
    case WM_LBUTTONDOWN:
      ++buttonDowns;
      break;
    case kBoxRunMessage:
      if (whileHandling) whileHandling();
      return 0;
    default:
      break;
  }
  return Window::WindowProc(msg, wParam, lParam);
}

void Box::OnFinalDestroy() {
  Callback(2000, intptr_t(window), intptr_t(unit));
  delete this;
}

void PrepareEngine() {
  static bool started = false;
  RuntimeApp& app = App();
  if (!started) {
    started = true;
    static const LibraryDescriptor* const libraries[] = {&TheRuntimeLibrary()};
    static const ProgramDescriptor descriptor{{3, 0, 0x10054}, nullptr, nullptr, 0, nullptr, 0, 1, libraries,
                                              0, nullptr, nullptr};
    app.SetProgram(&descriptor, nullptr);
    app.InitRuntime();
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kBoxClass;
    RegisterClassW(&wc);
  }
  // Other tests of this executable route the hook elsewhere and back.
  app.SetWindowEngine(&InstallWindowEngine(app));
  SetLibraryHook(&Callback);
  static std::vector<std::span<const UnitTypeDescriptor>> libraries{TestTypes()};
  Engine().SetUnitLibraries(libraries);
  ResetHandlers();
}

StoredBinding Bind(int32_t event, int handler) { return {event, uint32_t(kFirstOffset + 16 * handler)}; }

void SetResult(int handler, HandlerResult result) { g_results[size_t(handler)] = result; }

std::vector<HandlerCall>& Calls() { return g_calls; }

int CallCount(int handler) {
  int n = 0;
  for (const HandlerCall& c : g_calls) n += c.handler == handler ? 1 : 0;
  return n;
}

void ResetHandlers() {
  g_calls.clear();
  g_results.fill(HandlerResult{});
  g_creations.clear();
}

WindowDesign NewWindow(const WindowProps& props, UnitRect rect, uint32_t flags) {
  WindowDesign w;
  ++g_serial;
  w.id = 0x52000000 | g_serial;
  UnitDesign own;
  own.id = 0x06000000 | (g_serial << 8);
  own.type = unit_types::kWindow;
  own.rect = rect;
  own.flags = flags;
  own.properties = props.Save();
  w.units.push_back(own);
  return w;
}

UnitDesign NewUnit(WindowDesign&, UnitTypeId type, UnitRect rect, uint32_t flags, UnitId parent,
                   const BoxProps& props) {
  UnitDesign u;
  static uint32_t serial = 0x400000;
  u.id = 0x16000000 | ++serial;
  u.type = type;
  u.rect = rect;
  u.flags = flags;
  u.parent = parent;
  u.cursor = {0, 0, 0, 0};
  u.properties = SavePropertyBlob(props);
  return u;
}

WindowTemplate& Install(const WindowDesign& window) {
  std::vector<uint8_t> store = WriteTemplateStore({&window, 1});
  WindowTable& table = App().windows();
  EXPECT_TRUE(LoadTemplateStore(store, kHandlers, table));
  auto found = table.Find(window.id);
  EXPECT_TRUE(found.has_value());
  return *found->window;
}

bool Load(WindowTemplate& window) { return Engine().LoadWindow(window, false, nullptr, false); }

WindowEngineWin32& Engine() { return WindowEngineWin32::Instance(); }

HWND WindowHandle(WindowId id) {
  auto* object = reinterpret_cast<Window*>(App().LibraryCallback(2006, intptr_t(id), 0));
  return object ? object->hwnd() : nullptr;
}

Box* BoxOf(WindowId window, UnitId unit) {
  return dynamic_cast<Box*>(reinterpret_cast<Window*>(App().LibraryCallback(2006, intptr_t(window), intptr_t(unit))));
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    if (!App().PumpMessage()) break;
  }
}

std::vector<std::pair<UnitId, int32_t>>& Creations() { return g_creations; }

std::vector<uint8_t> Bmp(int width, int height, COLORREF (*colour)(int x, int y)) {
  const uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
  ByteWriter w;
  w.WriteU8('B');
  w.WriteU8('M');
  w.WriteU32(54 + stride * uint32_t(height));
  w.WriteU32(0);
  w.WriteU32(54);
  w.WriteU32(40);
  w.WriteI32(width);
  w.WriteI32(height);
  w.WriteU8(1);
  w.WriteU8(0);
  w.WriteU8(24);
  w.WriteU8(0);
  for (int i = 0; i < 6; ++i) w.WriteU32(0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colour(x, y);
      w.WriteU8(GetBValue(c));
      w.WriteU8(GetGValue(c));
      w.WriteU8(GetRValue(c));
    }
    for (uint32_t pad = uint32_t(width) * 3; pad < stride; ++pad) w.WriteU8(0);
  }
  return w.Take();
}

}  // namespace kavrel::engine_test
