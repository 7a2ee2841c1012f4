#include "app/startup.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "options/options_file.h"
#include "options/tints.h"

namespace kestrova {
namespace {

constexpr float kDefaultLeft = 1000;
constexpr float kDefaultTop = 1000;
constexpr float kDefaultWidth = 6500;
constexpr float kDefaultHeight = 6500;

std::string PlacementText(float value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

float PlacementValue(const std::optional<std::string>& text, float fallback) {
  if (!text || text->empty() || text->size() > 64) return fallback;
  const std::string copy = *text;  // strtof wants a terminated string
  char* end = nullptr;
  const float value = std::strtof(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !std::isfinite(value)) return fallback;
  return value;
}

Placement PlacementOnScreen(const Placement& stored, const std::vector<ScreenArea>& screens) {
  // In double: a stored value may be huge, and the sums must not overflow.
  const double left = stored.left, top = stored.top;
  const double right = left + std::max(0.0f, stored.width);
  const double bottom = top + std::max(0.0f, stored.height);
  for (const ScreenArea& s : screens) {
    const bool overlaps = left < double(s.left) + s.width && right > s.left &&
                          top < double(s.top) + s.height && bottom > s.top;
    if (overlaps) return stored;
  }
  if (screens.empty()) return stored;
  // The default position on the primary screen, moved up and left only as far
  // as the whole window needs to fit.
  const ScreenArea& primary = screens.front();
  Placement placed = stored;
  placed.width = std::clamp(stored.width, 1.0f, std::max(1.0f, primary.width));
  placed.height = std::clamp(stored.height, 1.0f, std::max(1.0f, primary.height));
  placed.left = primary.left + std::max(0.0f, std::min(kDefaultLeft, primary.width - placed.width));
  placed.top = primary.top + std::max(0.0f, std::min(kDefaultTop, primary.height - placed.height));
  return placed;
}

void RestoreWindowPlacement(MainWindowModel& model, Platform& platform) {
  auto read = [&](const char* key, float fallback) {
    return PlacementValue(platform.ReadSetting(kSettingsSection, key), fallback);
  };
  model.placement.left = read("MainLeft", kDefaultLeft);
  model.placement.top = read("MainTop", kDefaultTop);
  model.placement.width = read("MainWidth", kDefaultWidth);
  model.placement.height = read("MainHeight", kDefaultHeight);
  model.placement = PlacementOnScreen(model.placement, platform.Screens());
}

void SaveWindowPlacement(const MainWindowModel& model, Platform& platform) {
  const Placement& p = model.placement;
  if (p.window_state == 1) return;
  platform.WriteSetting(kSettingsSection, "MainLeft", PlacementText(p.left));
  platform.WriteSetting(kSettingsSection, "MainTop", PlacementText(p.top));
  platform.WriteSetting(kSettingsSection, "MainWidth", PlacementText(p.width));
  platform.WriteSetting(kSettingsSection, "MainHeight", PlacementText(p.height));
}

void LoadMainWindow(MainWindowModel& model, Platform& platform) {
  RestoreWindowPlacement(model, platform);
  if (!ReadOptionsFile(model, OptionsFileToRead(platform.OptionsFilePath()))) {
    OptionsFileFallback(model);
    return;
  }
  PaintNamedTint(model.canvas, model.combo1_text);
}

void OptionsFileFallback(MainWindowModel& model) {
  PaintTint(model.canvas, kNamedTints[3]);  // "Серый"
  PaintNamedTint(model.canvas, model.combo1_text, "Красный");
}

void UnloadMainWindow(MainWindowModel& model, Platform& platform) {
  model.about.state = AboutState::kNotCreated;
  SaveWindowPlacement(model, platform);
  model.end_request = EndRequest::kAfterUnload;
}

}  // namespace kestrova
