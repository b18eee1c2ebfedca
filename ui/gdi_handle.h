#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace ornivale {

struct GdiObjectDeleter {
  void operator()(void* object) const { DeleteObject(object); }
};

// Owns a GDI object (font, bitmap, brush) and deletes it once.
template <typename Handle>
using GdiHandle =
    std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

}  // namespace ornivale
