#include "platform/qt/QtDataObject.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

namespace platform::qt {

namespace {

constexpr HRESULT DV_E_FORMATETC = int32_t(0x80040064u);
constexpr HRESULT E_POINTER = int32_t(0x80004003u);

// Holds a file list until ReleaseStgMedium lets it go.
class FileListMedium : public IUnknown {
 public:
  HRESULT QueryInterface(Iid iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != Iid::IUnknown) return E_NOINTERFACE;
    *object = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  uint32_t AddRef() override { return ++refCount_; }
  uint32_t Release() override {
    const uint32_t left = --refCount_;
    if (left == 0) delete this;
    return left;
  }

  DropFileList files;

 private:
  ~FileListMedium() override = default;
  std::atomic<uint32_t> refCount_{1};
};

}  // namespace

QtDataObject::QtDataObject(const QMimeData* mime) : mime_(mime) {}

HRESULT QtDataObject::QueryInterface(Iid iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == Iid::IUnknown) {
    *object = static_cast<IUnknown*>(this);
  } else if (iid == Iid::IDataObject) {
    *object = static_cast<IDataObject*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

uint32_t QtDataObject::AddRef() { return ++refCount_; }

uint32_t QtDataObject::Release() {
  const uint32_t left = --refCount_;
  if (left == 0) delete this;
  return left;
}

HRESULT QtDataObject::GetData(const FORMATETC& format, STGMEDIUM* medium) {
  if (!medium) return E_POINTER;
  if (format.cfFormat != CF_HDROP || !(format.tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
  if (!mime_ || !mime_->hasUrls()) return DV_E_FORMATETC;
  auto* list = new FileListMedium;
  for (const QUrl& url : mime_->urls()) {
    if (!url.isLocalFile()) continue;
    const QString path = QDir::toNativeSeparators(url.toLocalFile());
    if (!path.isEmpty()) list->files.names.push_back(path.toStdString());
  }
  if (list->files.names.empty()) {  // only remote addresses: no file list either
    list->Release();
    return DV_E_FORMATETC;
  }
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = &list->files;
  medium->owner = static_cast<IUnknown*>(list);
  return S_OK;
}

}  // namespace platform::qt
