#include "platform/scripted/ScriptedDataObject.h"

namespace platform::scripted {

ScriptedDataObject::ScriptedDataObject(bool hasFiles, std::vector<std::string> paths)
    : hasFiles_(hasFiles) {
  files_.names = std::move(paths);
}

ComRef<ScriptedDataObject> ScriptedDataObject::Files(std::vector<std::string> paths) {
  return ComRef<ScriptedDataObject>(new ScriptedDataObject(true, std::move(paths)));
}

ComRef<ScriptedDataObject> ScriptedDataObject::NonFile() {
  return ComRef<ScriptedDataObject>(new ScriptedDataObject(false, {}));
}

HRESULT ScriptedDataObject::QueryInterface(Iid iid, void** object) {
  if (!object) return E_FAIL;
  if (iid == Iid::IUnknown || iid == Iid::IDataObject) {
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

uint32_t ScriptedDataObject::AddRef() { return ++refCount_; }

uint32_t ScriptedDataObject::Release() {
  const uint32_t left = --refCount_;
  if (left == 0) delete this;
  return left;
}

HRESULT ScriptedDataObject::GetData(const FORMATETC& format, STGMEDIUM* medium) {
  ++getDataCalls_;
  if (!medium) return E_FAIL;
  if (!hasFiles_ || format.cfFormat != CF_HDROP || !(format.tymed & TYMED_HGLOBAL) ||
      format.dwAspect != DVASPECT_CONTENT)
    return E_FAIL;  // DV_E_FORMATETC
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = &files_;
  // The medium keeps the object alive until ReleaseStgMedium, which releases
  // this token and so counts the medium as given back.
  medium->owner = static_cast<IUnknown*>(new MediumToken(*this));
  return S_OK;
}

ScriptedDataObject::MediumToken::MediumToken(ScriptedDataObject& data) : data_(data) {
  data_.AddRef();
  ++data_.outstanding_;
}

HRESULT ScriptedDataObject::MediumToken::QueryInterface(Iid, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}

uint32_t ScriptedDataObject::MediumToken::AddRef() { return 2; }

uint32_t ScriptedDataObject::MediumToken::Release() {
  --data_.outstanding_;
  data_.Release();
  delete this;
  return 0;
}

HRESULT RecordingDropTargetHelper::QueryInterface(Iid iid, void** object) {
  if (!object) return E_FAIL;
  if (iid == Iid::IUnknown || iid == Iid::IDropTargetHelper) {
    *object = static_cast<IDropTargetHelper*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

uint32_t RecordingDropTargetHelper::AddRef() { return ++refCount_; }

uint32_t RecordingDropTargetHelper::Release() {
  const uint32_t left = --refCount_;
  if (left == 0) delete this;
  return left;
}

HRESULT RecordingDropTargetHelper::DragEnter(HWND target, IDataObject* data, Point* point,
                                             uint32_t effect) {
  calls.push_back(HelperCall{"DragEnter", target, data, point ? *point : Point{}, effect});
  return S_OK;
}

HRESULT RecordingDropTargetHelper::DragOver(Point* point, uint32_t effect) {
  calls.push_back(HelperCall{"DragOver", nullptr, nullptr, point ? *point : Point{}, effect});
  return S_OK;
}

HRESULT RecordingDropTargetHelper::DragLeave() {
  calls.push_back(HelperCall{"DragLeave", nullptr, nullptr, Point{}, 0});
  return S_OK;
}

HRESULT RecordingDropTargetHelper::Drop(IDataObject* data, Point* point, uint32_t effect) {
  calls.push_back(HelperCall{"Drop", nullptr, data, point ? *point : Point{}, effect});
  return S_OK;
}

}  // namespace platform::scripted
