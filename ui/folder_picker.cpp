#include "ui/folder_picker.h"

#include <shobjidl.h>

namespace ornivale {
namespace {

// Releases a COM object on every road.
template <typename T>
class Com {
 public:
  Com() = default;
  ~Com() {
    if (object_) object_->Release();
  }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;

  T* operator->() const { return object_; }
  T** put() { return &object_; }

 private:
  T* object_ = nullptr;
};

}  // namespace

std::optional<std::wstring> PickFolder(HWND owner) {
  Com<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IFileOpenDialog, reinterpret_cast<void**>(dialog.put())))) {
    return std::nullopt;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog->SetTitle(L"Open folder");
  if (FAILED(dialog->Show(owner))) return std::nullopt;  // cancelled too
  Com<IShellItem> chosen;
  if (FAILED(dialog->GetResult(chosen.put()))) return std::nullopt;
  wchar_t* path = nullptr;
  if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path))) return std::nullopt;
  std::wstring folder(path);
  CoTaskMemFree(path);
  return folder;
}

}  // namespace ornivale
