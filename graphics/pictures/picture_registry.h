// The registered pictures: decoded pictures handed out to the program as picture values. A
// value is valid for drawing only while its picture is in this list.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "graphics/pictures/decoded_picture.h"

namespace quorlin::pictures {

using PictureValue = uintptr_t;  // 0 is never a registered picture

// Takes the picture into the list and returns its value (0 for a null picture).
PictureValue RegisterPicture(std::unique_ptr<DecodedPicture> picture);

// Removes the picture from the list and frees it; false when the value is not registered.
bool UnregisterPicture(PictureValue value);

bool IsRegisteredPicture(PictureValue value);

// Runs `use` with the registered picture, holding the list so that it cannot be freed
// meanwhile; false (and `use` not run) when the value is not registered. `use` must not
// register or unregister pictures.
bool WithRegisteredPicture(PictureValue value, const std::function<void(const DecodedPicture&)>& use);

}  // namespace quorlin::pictures
