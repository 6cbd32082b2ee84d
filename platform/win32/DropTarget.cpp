#include "platform/win32/DropTarget.h"

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32Window.h"

namespace platform::win32 {

namespace {

class SimpleDropTarget final : public IDropTarget {
 public:
  explicit SimpleDropTarget(Win32Window& owner) : owner_(&owner) {
    // The drag image is a nicety: without the helper, drops still work.
    if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_ALL, IID_IDropTargetHelper,
                                reinterpret_cast<void**>(&helper_))))
      helper_ = nullptr;
  }

  void Detach() { owner_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
      *out = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at,
                                      DWORD* effect) override {
    if (!effect) return E_INVALIDARG;
    if (helper_ && owner_) {
      POINT p{at.x, at.y};
      helper_->DragEnter(owner_->Handle(), data, &p, *effect);
    }
    // Read once per drag: the list does not change while it moves.
    paths_ = DroppedFiles(data);
    return Decide(keys, at, effect, false);
  }

  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override {
    if (!effect) return E_INVALIDARG;
    if (helper_) {
      POINT p{at.x, at.y};
      helper_->DragOver(&p, *effect);
    }
    return Decide(keys, at, effect, false);
  }

  HRESULT STDMETHODCALLTYPE DragLeave() override {
    if (helper_) helper_->DragLeave();
    paths_.clear();
    if (owner_) owner_->EndDrag();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at,
                                 DWORD* effect) override {
    if (!effect) return E_INVALIDARG;
    if (helper_) {
      POINT p{at.x, at.y};
      helper_->Drop(data, &p, *effect);
    }
    paths_ = DroppedFiles(data);
    const HRESULT result = Decide(keys, at, effect, true);
    paths_.clear();
    return result;
  }

 private:
  ~SimpleDropTarget() {
    if (helper_) helper_->Release();
  }

  // Copy where the program takes the files, and only when the source lets
  // them be copied; moving and linking are never offered.
  HRESULT Decide(DWORD, POINTL at, DWORD* effect, bool drop) {
    FileDrag drag;
    drag.copyAllowed = (*effect & DROPEFFECT_COPY) != 0;
    drag.paths = paths_;
    bool copy = false;
    if (owner_) {
      drag.point = owner_->ClientFromScreen(at.x, at.y);
      copy = owner_->OfferDrag(drag);
    }
    *effect = copy ? (*effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
    if (copy && drop && owner_) owner_->DeliverDrop(drag);
    return S_OK;
  }

  std::atomic<ULONG> refs_{1};
  Win32Window* owner_;
  IDropTargetHelper* helper_ = nullptr;
  std::vector<std::string> paths_;
};

}  // namespace

IDropTarget* MakeDropTarget(Win32Window& owner) { return new SimpleDropTarget(owner); }

void DetachDropTarget(IDropTarget* target) {
  if (target) static_cast<SimpleDropTarget*>(target)->Detach();
}

std::vector<std::string> DroppedFiles(IDataObject* data) {
  std::vector<std::string> paths;
  if (!data) return paths;
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (FAILED(data->GetData(&format, &medium))) return paths;
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
    const HDROP drop = static_cast<HDROP>(medium.hGlobal);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      // Any length: the shell's lists are not limited to MAX_PATH.
      const UINT length = DragQueryFileW(drop, i, nullptr, 0);
      std::wstring name(size_t(length) + 1, L'\0');
      if (DragQueryFileW(drop, i, name.data(), length + 1) == length && length > 0) {
        name.resize(length);
        paths.push_back(Narrow(name));
      }
    }
  }
  ReleaseStgMedium(&medium);
  return paths;
}

}  // namespace platform::win32
