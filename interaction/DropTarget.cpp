// Drag and drop of files from the shell. The drag and drop behaviour is a
// placeholder: nothing is offered and nothing is taken yet.
#include "interaction/SimpleDropTarget.h"

namespace app {

using namespace platform;

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

HRESULT CTessaryWnd::CSimpleDropTarget::DragEnter(IDataObject*, uint32_t, Point,
                                                  uint32_t* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  return S_OK;
}

HRESULT CTessaryWnd::CSimpleDropTarget::DragOver(uint32_t, Point, uint32_t* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  return S_OK;
}

HRESULT CTessaryWnd::CSimpleDropTarget::DragLeave() { return S_OK; }

HRESULT CTessaryWnd::CSimpleDropTarget::Drop(IDataObject*, uint32_t, Point, uint32_t* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  return S_OK;
}

void CTessaryWnd::DropFiles(IDataObject*, Point) {}

}  // namespace app
