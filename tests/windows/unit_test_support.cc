#include "unit_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/runtime_app_win32.h"

namespace kavrel::unit_test {

namespace {

constexpr wchar_t kParentClass[] = L"KavrelUnitTestParent";

HookLog g_log;

intptr_t RecordingHook(int32_t code, intptr_t arg1, intptr_t arg2) {
  if (code == request::kUnitGone) {
    g_log.gone.emplace_back(uint32_t(arg1), uint32_t(arg2));
    return 0;
  }
  if (code == request::kRaiseEvent) {
    auto* record = reinterpret_cast<SimpleEventRecord*>(arg1);
    g_log.events.push_back(*record);
    if (!g_log.handlerRuns) return 0;
    if (g_log.handlerValue) {
      record->hasResult = 1;
      record->result = uint32_t(*g_log.handlerValue);
    }
    return 1;
  }
  return 0;
}

}  // namespace

TestParent::TestParent(int width, int height) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  if (!GetClassInfoW(module, kParentClass, &wc)) {
    wc = WNDCLASSW{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = module;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kParentClass;
    RegisterClassW(&wc);
  }
  CreateEx(WS_EX_TOPMOST, kParentClass, "units", WS_POPUP | WS_CLIPCHILDREN, 0, 0, width, height, nullptr,
           nullptr);
  // Not activated: without a window manager Wine takes seconds to destroy
  // an active window. Tests of the focus activate it themselves.
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  Pump();
}

TestParent::~TestParent() {
  if (hwnd()) DestroyWindow(hwnd());
  Pump();
}

int TestParent::ChildCount() const {
  int count = 0;
  for (HWND c = GetWindow(hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++count;
  return count;
}

int HookLog::Count(int32_t event) const {
  int n = 0;
  for (const auto& e : events) n += e.event == event;
  return n;
}

HookLog& Hooks() { return g_log; }

namespace {

CreationRecorder* g_recorder = nullptr;
HHOOK g_creationHook = nullptr;

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && g_recorder) {
    const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
    std::string name;
    if (HIWORD(reinterpret_cast<uintptr_t>(cs->lpszClass))) name = cs->lpszClass;
    g_recorder->windows.push_back({name, DWORD(cs->style), cs->cx, cs->cy});
  }
  return CallNextHookEx(g_creationHook, code, wParam, lParam);
}

}  // namespace

CreationRecorder::CreationRecorder() {
  g_recorder = this;
  g_creationHook = SetWindowsHookExA(WH_CBT, &RecordCreation, nullptr, GetCurrentThreadId());
}

CreationRecorder::~CreationRecorder() {
  UnhookWindowsHookEx(g_creationHook);
  g_recorder = nullptr;
}

void InstallHook() {
  g_log.Clear();
  SetLibraryHook(&RecordingHook);
}

void RemoveHook() { SetLibraryHook(nullptr); }

void Pump() {
  MSG msg;
  for (int round = 0; round < 3; ++round) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(1);
  }
}

template <class Fn>
Fn Routine(const UnitTypeDescriptor& type, int32_t number) {
  return reinterpret_cast<Fn>(type.getInterface(number));
}

Window* CreateUnit(const UnitTypeDescriptor& type, const std::vector<uint8_t>& blob, HWND parent, int x, int y,
                   int width, int height, UnitId unit, uint32_t style) {
  auto create = Routine<CreateUnitFn>(type, iface::kCreate);
  Window* object = create(blob.empty() ? nullptr : blob.data(), int32_t(blob.size()), style, parent, 100, 0, x, y,
                          width, height, kTestWindow, unit, 0, 0);
  Pump();
  return object;
}

bool SetProperty(const UnitTypeDescriptor& type, Window* unit, int32_t own, PropertyValue value) {
  const char* tip = "unset";
  const BOOL recreate = Routine<PropertyChangedFn>(type, iface::kPropertyChanged)(unit, own, &value, &tip);
  EXPECT_EQ(tip, nullptr);
  Pump();
  return recreate != FALSE;
}

PropertyValue GetProperty(const UnitTypeDescriptor& type, Window* unit, int32_t own, bool* ok) {
  PropertyValue value;
  const BOOL got = Routine<GetPropertyFn>(type, iface::kGetProperty)(unit, own, &value);
  if (ok) *ok = got != FALSE;
  return value;
}

std::string GetText(const UnitTypeDescriptor& type, Window* unit, int32_t own) {
  const PropertyValue v = GetProperty(type, unit, own);
  const char* text = reinterpret_cast<const char*>(v.word0);
  return text ? std::string(text) : std::string();
}

int32_t GetInt(const UnitTypeDescriptor& type, Window* unit, int32_t own) {
  return int32_t(uint32_t(GetProperty(type, unit, own).word0));
}

std::vector<uint8_t> SaveBlob(const UnitTypeDescriptor& type, Window* unit, SIZE_T* globalSize) {
  HGLOBAL block = Routine<SavePropertiesFn>(type, iface::kSaveProperties)(unit);
  if (!block) return {};
  const SIZE_T size = GlobalSize(block);
  if (globalSize) *globalSize = size;
  std::vector<uint8_t> bytes(size);
  if (void* p = GlobalLock(block)) {
    std::memcpy(bytes.data(), p, size);
    GlobalUnlock(block);
  }
  GlobalFree(block);
  return bytes;
}

ButtonFaceOverride::ButtonFaceOverride(COLORREF colour) : saved_(GetSysColor(COLOR_BTNFACE)) {
  const INT element = COLOR_BTNFACE;
  SetSysColors(1, &element, &colour);
  Pump();
}

ButtonFaceOverride::~ButtonFaceOverride() {
  const INT element = COLOR_BTNFACE;
  SetSysColors(1, &element, &saved_);
  Pump();
}

void KAVREL_STDCALL CountingConverter(void* text, int32_t kind, uintptr_t user) {
  auto* calls = reinterpret_cast<ConverterCalls*>(user);
  if (!calls) return;
  if (kind == 0) {
    ++calls->texts;
    static_cast<std::string*>(text)->append("!");
  } else {
    ++calls->faces;
    static_cast<char*>(text)[0] = 'B';
  }
}

std::optional<std::vector<uint8_t>> ConvertBlob(const UnitTypeDescriptor& type, const std::vector<uint8_t>& blob,
                                                ConverterCalls* calls) {
  auto convert = Routine<ConvertTextsFn>(type, iface::kConvertTexts);
  int32_t size = int32_t(blob.size());
  HGLOBAL block = convert(blob.data(), &size, &CountingConverter, reinterpret_cast<uintptr_t>(calls));
  if (!block) return std::nullopt;
  EXPECT_EQ(GlobalSize(block), SIZE_T(size));
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (void* p = GlobalLock(block)) {
    std::memcpy(bytes.data(), p, bytes.size());
    GlobalUnlock(block);
  }
  GlobalFree(block);
  return bytes;
}

std::vector<uint8_t> BmpFile(int width, int height, COLORREF colour) {
  const uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
  const uint32_t pixelBytes = stride * uint32_t(height);
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + pixelBytes;
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = pixelBytes;
  std::vector<uint8_t> bytes(file.bfSize, 0);
  std::memcpy(bytes.data(), &file, sizeof file);
  std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bytes.data() + file.bfOffBits + stride * uint32_t(y);
    for (int x = 0; x < width; ++x) {
      row[3 * x] = GetBValue(colour);
      row[3 * x + 1] = GetGValue(colour);
      row[3 * x + 2] = GetRValue(colour);
    }
  }
  return bytes;
}

std::vector<uint8_t> IconFile(COLORREF colour) {
  constexpr uint32_t kSide = 32;
  constexpr uint32_t kXor = kSide * kSide * 4;
  constexpr uint32_t kAnd = kSide * 4;  // 1-bit rows, padded to 4 bytes
  constexpr uint32_t kImage = sizeof(BITMAPINFOHEADER) + kXor + kAnd;
  std::vector<uint8_t> bytes(6 + 16 + kImage, 0);
  auto put16 = [&](size_t at, uint16_t v) { std::memcpy(bytes.data() + at, &v, 2); };
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(bytes.data() + at, &v, 4); };
  put16(2, 1);  // icon
  put16(4, 1);  // one image
  bytes[6] = kSide;
  bytes[7] = kSide;
  put16(6 + 4, 1);   // planes
  put16(6 + 6, 32);  // bits per pixel
  put32(6 + 8, kImage);
  put32(6 + 12, 22);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = kSide;
  info.biHeight = 2 * kSide;  // colour and mask
  info.biPlanes = 1;
  info.biBitCount = 32;
  std::memcpy(bytes.data() + 22, &info, sizeof info);
  uint8_t* pixels = bytes.data() + 22 + sizeof info;
  for (uint32_t i = 0; i < kSide * kSide; ++i) {
    pixels[4 * i] = GetBValue(colour);
    pixels[4 * i + 1] = GetGValue(colour);
    pixels[4 * i + 2] = GetRValue(colour);
    pixels[4 * i + 3] = 0xFF;
  }
  return bytes;
}

std::vector<uint8_t> FontBytes(int height, int weight, const char* face) {
  LOGFONTA font{};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfCharSet = 134;  // as stored: replaced when the font is made
  font.lfOutPrecision = 3;
  font.lfClipPrecision = 2;
  font.lfQuality = 1;
  font.lfPitchAndFamily = 2;
  std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
  std::vector<uint8_t> bytes(sizeof font);
  std::memcpy(bytes.data(), &font, sizeof font);
  return bytes;
}

}  // namespace kavrel::unit_test
