// Our IDataObject over exchange data, its format enumerator, and ReleaseStgMedium.
#include <vector>

#include "platform/base/code_page.h"
#include "platform/com/com_object.h"
#include "platform/gdi/gdi.h"
#include "platform/shell/clipboard.h"
#include "platform/shell/clipboard_conversions.h"
#include "platform/shell/drag_drop.h"
#include "platform/shell/global_memory.h"

namespace quorlin::platform {
namespace {

FORMATETC HGlobalFormat(UINT format) {
  return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

class FormatEnumerator final : public ComObject<IEnumFORMATETC> {
 public:
  explicit FormatEnumerator(std::vector<FORMATETC> formats, ULONG next = 0)
      : formats_(std::move(formats)), next_(next) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* out, ULONG* fetched) override {
    if (!out || (count > 1 && !fetched)) return E_POINTER;
    ULONG n = 0;
    while (n < count && next_ < formats_.size()) out[n++] = formats_[next_++];
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    const size_t left = formats_.size() - next_;
    next_ += static_cast<ULONG>(std::min<size_t>(count, left));
    return count <= left ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** copy) override {
    if (!copy) return E_POINTER;
    *copy = new FormatEnumerator(formats_, next_);
    return S_OK;
  }

 private:
  std::vector<FORMATETC> formats_;
  ULONG next_;
};

class ExchangeDataObject final : public ComObject<IDataObject> {
 public:
  explicit ExchangeDataObject(const ExchangeData& data) {
    if (data.text) {
      const std::string gbk = Utf8ToGbk(*data.text);
      Add(CF_TEXT, gbk.c_str(), gbk.size() + 1);
      Add(CF_OEMTEXT, gbk.c_str(), gbk.size() + 1);
      const std::u16string wide = GbkToUtf16(gbk);
      Add(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(char16_t));
    }
    if (!data.files.empty()) {
      std::vector<std::string> paths;
      for (const std::string& f : data.files) paths.push_back(Utf8ToGbk(f));
      const HGLOBAL list = MakeFileDropList(paths);
      items_.push_back(Item{CF_HDROP, BytesOfGlobal(list)});
      GlobalFree(list);
    }
    if (data.dib) Add(CF_DIB, data.dib->data(), data.dib->size());
    for (const auto& [name, bytes] : data.custom) {
      const std::string gbkName = Utf8ToGbk(name);
      if (const UINT format = RegisterClipboardFormatA(gbkName.c_str())) Add(format, bytes.data(), bytes.size());
    }
  }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (!format || !medium) return E_POINTER;
    const Item* item = nullptr;
    if (const HRESULT hr = Lookup(*format, &item); FAILED(hr)) return hr;
    const HGLOBAL copy = GlobalFromBytes(item->bytes.data(), item->bytes.size());
    if (!copy) return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    if (!format) return E_POINTER;
    const Item* item = nullptr;
    return Lookup(*format, &item);
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override {
    if (!in || !out) return E_POINTER;
    *out = *in;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
    if (!formats) return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    std::vector<FORMATETC> list;
    for (const Item& item : items_) list.push_back(HGlobalFormat(item.format));
    *formats = new FormatEnumerator(std::move(list));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  struct Item {
    UINT format;
    std::vector<BYTE> bytes;
  };

  void Add(UINT format, const void* bytes, size_t size) {
    const auto* p = static_cast<const BYTE*>(bytes);
    items_.push_back(Item{format, std::vector<BYTE>(p, p + size)});
  }

  HRESULT Lookup(const FORMATETC& format, const Item** found) const {
    for (const Item& item : items_) {
      if (item.format != format.cfFormat) continue;
      if (format.dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
      if (format.lindex != -1 && format.lindex != 0) return DV_E_LINDEX;
      if (!(format.tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
      *found = &item;
      return S_OK;
    }
    return DV_E_FORMATETC;
  }

  std::vector<Item> items_;
};

}  // namespace

IDataObject* CreateExchangeDataObject(const ExchangeData& data) { return new ExchangeDataObject(data); }

}  // namespace quorlin::platform

void ReleaseStgMedium(STGMEDIUM* medium) {
  if (!medium) return;
  if (medium->pUnkForRelease) {
    medium->pUnkForRelease->Release();
  } else {
    switch (medium->tymed) {
      case TYMED_HGLOBAL: GlobalFree(medium->hGlobal); break;
      case TYMED_GDI: DeleteObject(medium->hBitmap); break;
      case TYMED_FILE: CoTaskMemFree(medium->lpszFileName); break;
      case TYMED_ISTREAM:
      case TYMED_ISTORAGE:
        if (medium->pstm) reinterpret_cast<IUnknown*>(medium->pstm)->Release();
        break;
      default: break;
    }
  }
  medium->tymed = TYMED_NULL;
  medium->pUnkForRelease = nullptr;
}
