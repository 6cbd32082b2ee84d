#pragma once

#include <atomic>
#include <cstdint>

#include "app/TessaryWnd.h"
#include "platform/DragDrop.h"

namespace app {

// The window's part in shell drag and drop. Reference counted: the window
// keeps one reference, the registration another.
class CTessaryWnd::CSimpleDropTarget : public platform::IDropTarget {
 public:
  explicit CSimpleDropTarget(CTessaryWnd& owner);

  platform::HRESULT QueryInterface(platform::Iid iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;
  platform::HRESULT DragEnter(platform::IDataObject* data, uint32_t keyState, platform::Point point,
                              uint32_t* effect) override;
  platform::HRESULT DragOver(uint32_t keyState, platform::Point point, uint32_t* effect) override;
  platform::HRESULT DragLeave() override;
  platform::HRESULT Drop(platform::IDataObject* data, uint32_t keyState, platform::Point point,
                         uint32_t* effect) override;

  uint32_t RefCount() const { return refCount; }

 private:
  ~CSimpleDropTarget() override;

  std::atomic<uint32_t> refCount{1};
  CTessaryWnd* owner;
  bool layoutDragged = false;
  platform::IDropTargetHelper* dragImageHelper = nullptr;
};

}  // namespace app
