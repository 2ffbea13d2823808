#include "runtime/dragdrop/drop_target_object.h"

#include <optional>
#include <utility>

#include "platform/shell/clipboard.h"
#include "runtime/dragdrop/drag_image_helper.h"
#include "runtime/dragdrop/drop_effect.h"
#include "runtime/dragdrop/dropped_data.h"

namespace quorlin::dragdrop {
namespace {

POINT PointOf(POINTL pt) { return POINT{pt.x, pt.y}; }

}  // namespace

DropTargetObject::DropTargetObject(const AcceptedFormats& accepted, Mode mode, DropEventSink sink)
    : accepted_(accepted), mode_(mode) {
  if (mode_ == Mode::Design) return;
  sink_ = std::move(sink);
  urlFormat_ = RegisterClipboardFormatA(kUrlFormatName);
  htmlFormat_ = RegisterClipboardFormatA(kHtmlFormatName);
  const auto helper = platform::ComPtr<IUnknown>::Adopt(CreateDragImageHelper());
  if (helper) helper.As(helper_);
}

DropTargetObject::~DropTargetObject() = default;

bool DropTargetObject::RegisterWindow(HWND window) {
  if (mode_ == Mode::Design || closed_ || window_ != 0) return false;
  window_ = window;
  registered_ = SUCCEEDED(RegisterDragDrop(window, this));
  return registered_;
}

void DropTargetObject::Close() {
  if (closed_) return;
  closed_ = true;
  sink_ = nullptr;
  dropAllowed_ = false;
  if (registered_) {
    registered_ = false;
    // Only our own registration is revoked: the window may have died and its handle gone to
    // another window with a target of its own.
    HWND found = 0;
    const auto target = platform::ComPtr<IDropTarget>::Adopt(platform::FindDropTarget(window_, &found));
    if (target.Get() == this && found == window_) RevokeDragDrop(window_);
  }
  helper_.Reset();
}

bool DropTargetObject::OffersAcceptedFormat(IDataObject* data) const {
  if (mode_ == Mode::Design || closed_ || !data) return false;
  return (accepted_.text && Offers(data, CF_TEXT)) || (accepted_.files && Offers(data, CF_HDROP)) ||
         (accepted_.url && Offers(data, urlFormat_)) || (accepted_.html && Offers(data, htmlFormat_));
}

HRESULT STDMETHODCALLTYPE DropTargetObject::DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  if (helper_) {
    POINT point = PointOf(pt);
    helper_->DragEnter(window_, data, &point, *effect);
  }
  dropAllowed_ = OffersAcceptedFormat(data);
  *effect = ChooseDropEffect(dropAllowed_, keyState, *effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTargetObject::DragOver(DWORD keyState, POINTL pt, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  if (helper_) {
    POINT point = PointOf(pt);
    helper_->DragOver(&point, *effect);
  }
  *effect = ChooseDropEffect(dropAllowed_, keyState, *effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTargetObject::DragLeave() {
  if (helper_) helper_->DragLeave();
  dropAllowed_ = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTargetObject::Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  if (helper_) {
    POINT point = PointOf(pt);
    helper_->Drop(data, &point, *effect);
  }
  const DWORD chosen = ChooseDropEffect(dropAllowed_, keyState, *effect);
  dropAllowed_ = false;
  *effect = DROPEFFECT_NONE;
  if (chosen != DROPEFFECT_NONE && data) RaiseDropEvents(data);
  return E_FAIL;
}

void DropTargetObject::RaiseDropEvents(IDataObject* data) {
  // A handler may end the unit (and Close this object) while its event runs.
  const platform::ComPtr<IDropTarget> keepAlive(this);
  if (accepted_.text && !Offers(data, htmlFormat_)) {
    if (std::optional<std::string> text = ReadTextFormat(data, CF_TEXT)) Raise(DropEvent::TextDropped, *text);
  }
  if (accepted_.html && !closed_) {
    if (std::optional<std::string> html = ReadTextFormat(data, htmlFormat_)) {
      Raise(DropEvent::HtmlDropped, HtmlBytesToSystemText(*html));
    }
  }
  if (accepted_.url && !closed_) {
    if (std::optional<std::string> url = ReadTextFormat(data, urlFormat_)) Raise(DropEvent::UrlDropped, *url);
  }
  if (accepted_.files && !closed_) {
    if (std::optional<std::string> files = ReadFileListText(data)) Raise(DropEvent::FilesDropped, *files);
  }
}

void DropTargetObject::Raise(int32_t event, const std::string& text) {
  if (closed_ || !sink_) return;
  // The handler may Close this object, which drops sink_; the call runs on a copy.
  const DropEventSink sink = sink_;
  sink(event, text);
}

}  // namespace quorlin::dragdrop
