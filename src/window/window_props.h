// The window type's own properties (own numbers as GetUnitProperty counts
// them, minus 8) and their property blob, highest version 6.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "templates/property_blob.h"
#include "units/unit_type.h"  // kDefaultColour

namespace kavrel {

inline constexpr uint32_t kWindowPropsVersion = 6;

enum class WindowOwn : int32_t {
  kCaption = 0,
  kBorder = 1,
  kBackColour = 2,
  kPicture = 3,
  kPictureMode = 4,
  kSound = 5,
  kSoundMode = 6,
  kControlBox = 7,
  kMaxButton = 8,
  kMinButton = 9,
  kStartPosition = 10,
  kMovable = 11,
  kIcon = 12,
  kEnterMovesOn = 13,
  kEscCloses = 14,
  kF1Help = 15,
  kHelpFile = 16,
  kHelpContext = 17,
  kTaskbar = 18,
  kDragAnywhere = 19,
  kShape = 20,
  kAlwaysOnTop = 21,
  kProperty22 = 22,
  kClassName = 23,
};

struct WindowProps {
  std::string caption;                 // 0
  uint32_t border = 2;                 // 1: 0 none ... 6 sunken fixed
  uint32_t backColour = kDefaultColour;  // 2
  std::vector<uint8_t> picture;        // 3: picture file bytes
  uint32_t pictureMode = 1;            // 4: 0 top-left, 1 tiled, 2 centred, 3 stretched
  std::vector<uint8_t> sound;          // 5
  uint32_t soundMode = 0;              // 6
  uint32_t controlBox = 1;             // 7
  uint32_t maxButton = 0;              // 8
  uint32_t minButton = 1;              // 9
  uint32_t startPosition = 1;          // 10: 0 as stored, 1 centred, 2 minimised, 3 maximised
  uint32_t movable = 1;                // 11
  std::vector<uint8_t> icon;           // 12: icon file bytes
  uint32_t enterMovesOn = 0;           // 13
  uint32_t escCloses = 1;              // 14
  uint32_t f1Help = 0;                 // 15
  std::string helpFile;                // 16
  uint32_t helpContext = 0;            // 17
  uint32_t taskbar = 1;                // 18
  uint32_t dragAnywhere = 0;           // 19
  uint32_t shape = 0;                  // 20
  uint32_t alwaysOnTop = 0;            // 21
  uint32_t property22 = 0;             // 22: kept and returned, used by nothing here
  std::string className;               // 23: empty = the runtime's class

  void Reset() { *this = WindowProps{}; }
  bool operator==(const WindowProps&) const = default;
  bool Load(std::span<const uint8_t> blob);
  std::vector<uint8_t> Save() const;

  // Stream order of the blob; fields later versions added are read only then.
  template <class Archive, class Self>
  static void Transfer(Archive& ar, Self& p) {
    const uint32_t v = ar.Version(kWindowPropsVersion);
    ar.Int(p.border);
    ar.Int(p.pictureMode);
    ar.Int(p.backColour);
    ar.Int(p.maxButton);
    ar.Int(p.minButton);
    ar.Int(p.controlBox);
    ar.Int(p.startPosition);
    ar.Int(p.movable);
    ar.Int(p.soundMode);
    ar.Int(p.enterMovesOn);
    ar.Int(p.escCloses);
    ar.Int(p.f1Help);
    ar.Int(p.helpContext);
    if (v > 1) ar.Int(p.taskbar);
    if (v > 2) {
      ar.Int(p.dragAnywhere);
      ar.Int(p.shape);
    }
    if (v > 3) ar.Int(p.alwaysOnTop);
    if (v > 4) ar.Int(p.property22);
    if (v == 6) ar.Text(p.className);
    ar.Bytes(p.picture);
    ar.Bytes(p.icon);
    ar.Bytes(p.sound);
    ar.Text(p.caption);
    ar.Text(p.helpFile);
  }
};

}  // namespace kavrel
