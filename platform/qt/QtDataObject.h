#pragma once

#include <atomic>

#include "platform/DragDrop.h"

class QMimeData;

namespace platform::qt {

// What is being dragged, as the drop target sees it: a view of the drag's
// QMimeData. The mime data belongs to the drag, so the object is detached
// when the drag leaves or drops; after that it holds nothing.
class QtDataObject : public IDataObject {
 public:
  explicit QtDataObject(const QMimeData* mime);

  HRESULT QueryInterface(Iid iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;
  // CF_HDROP: the local files among the URLs, in the source's order.
  HRESULT GetData(const FORMATETC& format, STGMEDIUM* medium) override;

  void Detach() { mime_ = nullptr; }

 private:
  ~QtDataObject() override = default;

  std::atomic<uint32_t> refCount_{1};
  const QMimeData* mime_;
};

}  // namespace platform::qt
