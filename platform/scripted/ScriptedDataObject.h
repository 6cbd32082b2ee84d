#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/DragDrop.h"

namespace platform::scripted {

// Drops the reference a factory handed out.
struct ReleaseComObject {
  void operator()(IUnknown* object) const {
    if (object) object->Release();
  }
};
template <class T>
using ComRef = std::unique_ptr<T, ReleaseComObject>;

// What a test drags: a file list, or something else (text, an image) that
// holds no files.
class ScriptedDataObject : public IDataObject {
 public:
  static ComRef<ScriptedDataObject> Files(std::vector<std::string> paths);
  static ComRef<ScriptedDataObject> NonFile();

  HRESULT QueryInterface(Iid iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;
  HRESULT GetData(const FORMATETC& format, STGMEDIUM* medium) override;

  // Media handed out by GetData and not yet given back with ReleaseStgMedium.
  int OutstandingMedia() const { return outstanding_; }
  int GetDataCalls() const { return getDataCalls_; }
  uint32_t RefCount() const { return refCount_; }

 private:
  // What a handed-out medium holds: released exactly once by ReleaseStgMedium.
  class MediumToken : public IUnknown {
   public:
    explicit MediumToken(ScriptedDataObject& data);
    HRESULT QueryInterface(Iid iid, void** object) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

   private:
    ~MediumToken() override = default;
    ScriptedDataObject& data_;
  };

  ScriptedDataObject(bool hasFiles, std::vector<std::string> paths);
  ~ScriptedDataObject() override = default;

  bool hasFiles_;
  DropFileList files_;
  std::atomic<uint32_t> refCount_{1};
  int outstanding_ = 0;
  int getDataCalls_ = 0;
};

// The drag-image helper's calls, in order.
struct HelperCall {
  std::string name;  // "DragEnter", "DragOver", "DragLeave", "Drop"
  HWND target = nullptr;
  IDataObject* data = nullptr;
  Point point;
  uint32_t effect = 0;
};

class RecordingDropTargetHelper : public IDropTargetHelper {
 public:
  RecordingDropTargetHelper() = default;

  HRESULT QueryInterface(Iid iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;
  HRESULT DragEnter(HWND target, IDataObject* data, Point* point, uint32_t effect) override;
  HRESULT DragOver(Point* point, uint32_t effect) override;
  HRESULT DragLeave() override;
  HRESULT Drop(IDataObject* data, Point* point, uint32_t effect) override;

  uint32_t RefCount() const { return refCount_; }
  std::vector<HelperCall> calls;

 private:
  ~RecordingDropTargetHelper() override = default;
  std::atomic<uint32_t> refCount_{1};
};

}  // namespace platform::scripted
