#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

namespace ornivale {

// How soon a screen reader reads an announcement: after what it is saying
// (a result), or at once (a failure).
enum class Urgency { Polite, Assertive };

// A window's way to a screen reader beyond what its controls tell by
// themselves: names for controls that have no label, and a live region,
// an unseen text whose changes screen readers read out. The accessibility
// services are asked of COM when the window is made; where Windows or Wine
// has none, names stay the defaults and an announcement is only the live
// region's event, which Windows 7 and Wine pass over (live regions came
// with Windows 8).
class ScreenReader {
 public:
  ScreenReader() = default;
  ~ScreenReader();
  ScreenReader(const ScreenReader&) = delete;
  ScreenReader& operator=(const ScreenReader&) = delete;

  // Makes the live region as the child `id` of `parent`, created last, so
  // that it labels no control; false if it can't be made.
  bool Create(HWND parent, HINSTANCE instance, int id);
  // Names `control` for screen readers as `name`.
  void Name(HWND control, const wchar_t* name);
  // Puts `text` in the live region and tells screen readers, once.
  void Announce(const std::wstring& text, Urgency urgency);

 private:
  IAccPropServices* services_ = nullptr;
  HWND region_ = nullptr;
};

}  // namespace ornivale
