// Writes the program's TemplateStore and its art into the build's generated
// folder: template_store.bin (the block the executable embeds),
// background.jpg and kavrel.ico (the pictures it holds; the icon is also the
// executable's icon resource), and seeds for the fuzz targets.
//
//   kavrel_template_gen OUTPUT_DIR

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "art/background.h"
#include "art/icon.h"
#include "program/main_window_design.h"
#include "templates/template_store.h"
#include "templates/template_writer.h"

namespace fs = std::filesystem;
using namespace kavrel;

namespace {

// The picture sizes of the window as first designed. The background JPEG is
// padded with comment segments to its size; see the note on kBackgroundSize.
constexpr size_t kIconSize = 270398;
// 89,824 bytes in the first design; with the records as designed here that
// leaves the block 4 bytes short of the original's 365,182, so the picture
// takes up those 4 bytes and the block and its UnitTable keep their sizes.
constexpr size_t kBackgroundSize = 89824 + 4;

bool WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  out.close();
  if (!out) std::fprintf(stderr, "template_gen: cannot write %s\n", path.c_str());
  return bool(out);
}

// The block must read back as this program's runtime reads it.
bool Verify(const std::vector<uint8_t>& block, const WindowDesign& design) {
  std::vector<HandlerEntry> handlers;
  for (const UnitDesign& u : design.units)
    for (const StoredBinding& b : u.bindings) handlers.push_back({b.handlerOffset, nullptr});
  WindowTable windows;
  if (!LoadTemplateStore(block, handlers, windows) || windows.size() != 1) return false;
  WindowDesign back = WindowDesignOf(*windows.At(0), handlers);
  return back.units == design.units && WriteTemplateStore({&back, 1}) == block;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const fs::path out = argv[1];
  fs::create_directories(out);

  main_window::Art art;
  art.background = art::EncodeProgressiveJpeg(art::RenderBackground(), art::kBackgroundWidth,
                                              art::kBackgroundHeight, kBackgroundSize);
  art.icon = art::EncodeIco(art::RenderIcon());
  if (art.background.size() != kBackgroundSize || art.icon.size() != kIconSize) {
    std::fprintf(stderr, "template_gen: art of %zu and %zu bytes, want %zu and %zu\n", art.background.size(),
                 art.icon.size(), kBackgroundSize, kIconSize);
    return 1;
  }

  const WindowDesign design = main_window::Design(art);
  const std::vector<uint8_t> block = WriteTemplateStore({&design, 1});
  if (!Verify(block, design)) {
    std::fprintf(stderr, "template_gen: the written block does not read back\n");
    return 1;
  }

  bool ok = WriteFile(out / "template_store.bin", block) && WriteFile(out / "background.jpg", art.background) &&
            WriteFile(out / "kavrel.ico", art.icon);

  // Seeds: the real block, the same design without its pictures (small, so
  // the fuzzer spends its time on the records), and every unit's blob.
  main_window::Art noArt;
  const WindowDesign bare = main_window::Design(noArt);
  auto seed = [&](const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::create_directories(out / "seeds" / target);
    ok = WriteFile(out / "seeds" / target / name, bytes) && ok;
  };
  // The background as the window draws it: covering its client area.
  std::vector<uint8_t> covered = {476 & 0xFF, 476 >> 8, 280 & 0xFF, 280 >> 8};
  covered.insert(covered.end(), art.background.begin(), art.background.end());
  seed("fuzz_jpeg_rows", "background_476x280.bin", covered);
  seed("template_store_fuzz", "main_window.bin", block);
  seed("template_store_fuzz", "main_window_bare.bin", WriteTemplateStore({&bare, 1}));
  seed("window_props_fuzz", "main_window.bin", design.units[0].properties);
  seed("window_props_fuzz", "main_window_bare.bin", bare.units[0].properties);
  for (const UnitDesign& u : bare.units) {
    const char* target = nullptr;
    switch (u.type) {
      case unit_types::kLabel: target = "label_props_fuzz"; break;
      case unit_types::kShapeBox: target = "shape_box_props_fuzz"; break;
      case unit_types::kGroupBox: target = "group_box_props_fuzz"; break;
      case unit_types::kButton: target = "button_props_fuzz"; break;
      case unit_types::kComboBox: target = "combo_box_props_fuzz"; break;
      default: continue;
    }
    char name[32];
    std::snprintf(name, sizeof name, "%08X.bin", u.id);
    seed(target, name, u.properties);
  }
  std::printf("template_gen: block %zu bytes, background %zu, icon %zu\n", block.size(), art.background.size(),
              art.icon.size());
  return ok ? 0 : 1;
}
