// Drag and drop of files from the shell: photos onto regions, layout files
// anywhere on the window.
#include <optional>
#include <string>

#include "app/WebAddresses.h"
#include "imagefiles/LayoutFile.h"
#include "interaction/LayoutFileName.h"
#include "interaction/SimpleDropTarget.h"
#include "platform/WaitCursor.h"

namespace app {

using namespace platform;

namespace {

constexpr char kLayoutFailed[] =
    "The custom layout failed to load. Please ensure, it follows all the guidelines for custom "
    "layouts - ";

const FORMATETC kFileList{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};

}  // namespace

CTessaryWnd::CSimpleDropTarget::CSimpleDropTarget(CTessaryWnd& window) : owner(&window) {
  // Without the helper dragging still works, only without the drag image.
  if (owner->GetPlatform().CreateDropTargetHelper(&dragImageHelper) != S_OK)
    dragImageHelper = nullptr;
}

CTessaryWnd::CSimpleDropTarget::~CSimpleDropTarget() {
  if (dragImageHelper) dragImageHelper->Release();
}

HRESULT CTessaryWnd::CSimpleDropTarget::QueryInterface(Iid iid, void** object) {
  if (!object) return E_FAIL;
  if (iid == Iid::IUnknown || iid == Iid::IDropTarget) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

uint32_t CTessaryWnd::CSimpleDropTarget::AddRef() { return ++refCount; }

uint32_t CTessaryWnd::CSimpleDropTarget::Release() {
  const uint32_t left = --refCount;
  if (left == 0) delete this;
  return left;
}

HRESULT CTessaryWnd::CSimpleDropTarget::DragEnter(IDataObject* data, uint32_t keyState, Point point,
                                                  uint32_t* effect) {
  if (!effect) return E_FAIL;
  if (dragImageHelper && owner && owner->GetWindow()) {
    dragImageHelper->DragEnter(owner->GetWindow()->Handle(), data, &point, *effect);
  }
  layoutDragged = false;
  STGMEDIUM medium;
  if (data && data->GetData(kFileList, &medium) == S_OK) {
    const uint32_t count = DragQueryFile(medium.hGlobal, 0xFFFFFFFFu, nullptr);
    std::string name;
    for (uint32_t i = 0; i < count; ++i) {
      DragQueryFile(medium.hGlobal, i, &name);
      if (interaction::IsConsideredFileName(name) && interaction::IsLayoutFileName(name)) {
        layoutDragged = true;
        break;
      }
    }
    ReleaseStgMedium(&medium);
  }
  return DragOver(keyState, point, effect);
}

HRESULT CTessaryWnd::CSimpleDropTarget::DragOver(uint32_t, Point point, uint32_t* effect) {
  if (!effect) return E_FAIL;
  if (dragImageHelper) dragImageHelper->DragOver(&point, *effect);
  if (owner && (layoutDragged || owner->IsOverSlot(point))) {
    *effect &= DROPEFFECT_COPY;  // copy if the source allows it; never move or link
  } else {
    *effect = DROPEFFECT_NONE;
  }
  return S_OK;
}

HRESULT CTessaryWnd::CSimpleDropTarget::DragLeave() {
  if (dragImageHelper) dragImageHelper->DragLeave();
  return S_OK;
}

HRESULT CTessaryWnd::CSimpleDropTarget::Drop(IDataObject* data, uint32_t, Point point,
                                             uint32_t* effect) {
  if (!effect) return E_FAIL;
  if (dragImageHelper) dragImageHelper->Drop(data, &point, *effect);
  if (owner) owner->DropFiles(data, point);
  *effect &= DROPEFFECT_COPY;
  return S_OK;
}

void CTessaryWnd::DropFiles(IDataObject* data, Point screen) {
  if (!window || !data) return;
  const Point client = window->ScreenToClient(screen);
  const int32_t slot = HitTestSlot(client.x, client.y);

  STGMEDIUM medium;
  if (data->GetData(kFileList, &medium) != S_OK) return;
  const uint32_t count = DragQueryFile(medium.hGlobal, 0xFFFFFFFFu, nullptr);
  std::optional<WaitCursor> wait(std::in_place, platform_);
  std::string name;
  for (uint32_t i = 0; i < count; ++i) {
    DragQueryFile(medium.hGlobal, i, &name);
    if (!interaction::IsConsideredFileName(name)) continue;
    if (interaction::IsLayoutFileName(name)) {
      if (imagefiles::LoadLayoutFile(card, name, reader_)) break;  // the new layout repaints
      // The message waits for the user: the normal cursor belongs over it.
      wait.reset();
      platform_.MessageBox(window, (kLayoutFailed + GuidelineAddress()).c_str(), "Tessary", MB_OK);
      wait.emplace(platform_);
      continue;
    }
    if (slot != -1 && engine::LoadPhotoIntoSlot(card.slots, size_t(slot), name, reader_)) {
      window->InvalidateRect(nullptr, false);
      break;
    }
  }
  ReleaseStgMedium(&medium);
}

}  // namespace app
