#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace platform {

enum class Iid { IUnknown, IDropTarget, IDropTargetHelper, IDataObject };

// Reference-counted objects shared with the window system.
class IUnknown {
 public:
  virtual HRESULT QueryInterface(Iid iid, void** object) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};

constexpr uint32_t DROPEFFECT_NONE = 0;
constexpr uint32_t DROPEFFECT_COPY = 1;
constexpr uint32_t DROPEFFECT_MOVE = 2;
constexpr uint32_t DROPEFFECT_LINK = 4;

constexpr uint16_t CF_HDROP = 15;
constexpr uint32_t DVASPECT_CONTENT = 1;
constexpr uint32_t TYMED_HGLOBAL = 1;

struct FORMATETC {
  uint16_t cfFormat = 0;
  const void* ptd = nullptr;
  uint32_t dwAspect = DVASPECT_CONTENT;
  int32_t lindex = -1;
  uint32_t tymed = TYMED_HGLOBAL;
};

// A dropped file list: full paths (UTF-8) in the drag source's order.
struct DropFileList {
  std::vector<std::string> names;
};
using HDROP = const DropFileList*;

struct STGMEDIUM {
  uint32_t tymed = 0;
  HDROP hGlobal = nullptr;  // valid until ReleaseStgMedium
  void* owner = nullptr;    // backend bookkeeping
};

// What is being dragged.
class IDataObject : public IUnknown {
 public:
  // S_OK and a file list in `medium` when asked for CF_HDROP and the data
  // holds files; an error otherwise (text, images...).
  virtual HRESULT GetData(const FORMATETC& format, STGMEDIUM* medium) = 0;
};

void ReleaseStgMedium(STGMEDIUM* medium);

// index 0xFFFFFFFF: the number of names. Otherwise copies the name at
// `index` into `name` and returns its length in UTF-16 code units (0 when
// there is no such name).
uint32_t DragQueryFile(HDROP drop, uint32_t index, std::string* name);

// Length of a UTF-8 string in UTF-16 code units, the unit path limits count in.
uint32_t Utf16Length(const std::string& utf8);

// Points are in screen coordinates; `effect` carries the effects the source
// allows in and the chosen one out.
class IDropTarget : public IUnknown {
 public:
  virtual HRESULT DragEnter(IDataObject* data, uint32_t keyState, Point point, uint32_t* effect) = 0;
  virtual HRESULT DragOver(uint32_t keyState, Point point, uint32_t* effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, uint32_t keyState, Point point, uint32_t* effect) = 0;
};

// The shell's helper that draws the dragged files' image over the target.
class IDropTargetHelper : public IUnknown {
 public:
  virtual HRESULT DragEnter(HWND target, IDataObject* data, Point* point, uint32_t effect) = 0;
  virtual HRESULT DragOver(Point* point, uint32_t effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, Point* point, uint32_t effect) = 0;
};

}  // namespace platform
