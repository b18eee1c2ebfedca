#include "ui/screen_reader.h"

namespace ornivale {
namespace {

// Defined here, so that the program needs no import that older Windows
// lacks: the services' class and interface, and the properties set.
constexpr CLSID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED
// UI Automation's LiveSetting values.
constexpr LONG kPolite = 1;
constexpr LONG kAssertive = 2;

}  // namespace

ScreenReader::~ScreenReader() {
  if (services_) services_->Release();
}

bool ScreenReader::Create(HWND parent, HINSTANCE instance, int id) {
  void* services = nullptr;
  if (SUCCEEDED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                 kIAccPropServices, &services))) {
    services_ = static_cast<IAccPropServices*>(services);
  }
  // Visible, as a live region must be, and of no size, so nobody sees it.
  region_ = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0,
                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                            nullptr);
  return region_ != nullptr;
}

void ScreenReader::Name(HWND control, const wchar_t* name) {
  if (services_) {
    services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                              kNameProperty, name);
  }
}

void ScreenReader::Announce(const std::wstring& text, Urgency urgency) {
  SetWindowTextW(region_, text.c_str());
  if (services_) {
    VARIANT setting{};
    setting.vt = VT_I4;
    setting.lVal = urgency == Urgency::Assertive ? kAssertive : kPolite;
    services_->SetHwndProp(region_, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                           kLiveSettingProperty, setting);
  }
  NotifyWinEvent(kLiveRegionChanged, region_, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace ornivale
