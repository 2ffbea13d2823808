#include "graphics/pictures/picture_registry.h"

#include <map>
#include <mutex>

namespace quorlin::pictures {

namespace {

struct Registry {
  std::mutex mutex;
  std::map<PictureValue, std::unique_ptr<DecodedPicture>> pictures;
};

Registry& Pictures() {
  static Registry* registry = new Registry;  // outlives every static that may still draw
  return *registry;
}

}  // namespace

PictureValue RegisterPicture(std::unique_ptr<DecodedPicture> picture) {
  if (!picture) return 0;
  const auto value = reinterpret_cast<PictureValue>(picture.get());
  Registry& registry = Pictures();
  std::lock_guard lock(registry.mutex);
  registry.pictures.emplace(value, std::move(picture));
  return value;
}

bool UnregisterPicture(PictureValue value) {
  std::unique_ptr<DecodedPicture> freed;
  Registry& registry = Pictures();
  {
    std::lock_guard lock(registry.mutex);
    const auto it = registry.pictures.find(value);
    if (it == registry.pictures.end()) return false;
    freed = std::move(it->second);
    registry.pictures.erase(it);
  }
  return true;  // `freed` goes outside the lock
}

bool IsRegisteredPicture(PictureValue value) {
  Registry& registry = Pictures();
  std::lock_guard lock(registry.mutex);
  return registry.pictures.count(value) != 0;
}

bool WithRegisteredPicture(PictureValue value, const std::function<void(const DecodedPicture&)>& use) {
  Registry& registry = Pictures();
  std::lock_guard lock(registry.mutex);
  const auto it = registry.pictures.find(value);
  if (it == registry.pictures.end()) return false;
  use(*it->second);
  return true;
}

}  // namespace quorlin::pictures
