// The drop-target object behind a DropTarget unit: the platform's IDropTarget for the one
// window registered with it. It tests a drag for the accepted formats, chooses the effect,
// and turns a drop into one event per accepted format that the data offers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/shell/drag_drop.h"

namespace quorlin::dragdrop {

struct AcceptedFormats {
  bool text = true;
  bool html = true;
  bool url = true;
  bool files = true;
};

// The events of a drop, each with one text (system code page).
namespace DropEvent {
inline constexpr int32_t TextDropped = 0;
inline constexpr int32_t HtmlDropped = 1;
inline constexpr int32_t UrlDropped = 2;
inline constexpr int32_t FilesDropped = 3;
}  // namespace DropEvent

// Raises one event; it has run when the call returns.
using DropEventSink = std::function<void(int32_t event, const std::string& text)>;

inline constexpr const char* kUrlFormatName = "UniformResourceLocator";
inline constexpr const char* kHtmlFormatName = "HTML Format";

class DropTargetObject final : public platform::ComObject<IDropTarget> {
 public:
  // A target in design mode only keeps its accepted formats: it registers no formats and no
  // window, accepts no drag and raises no events. Born with one reference, the creator's.
  enum class Mode { Run, Design };
  DropTargetObject(const AcceptedFormats& accepted, Mode mode, DropEventSink sink);

  AcceptedFormats& Accepted() { return accepted_; }
  const AcceptedFormats& Accepted() const { return accepted_; }
  UINT UrlFormat() const { return urlFormat_; }
  UINT HtmlFormat() const { return htmlFormat_; }

  // RegisterDropWindow: false when a window was given before (that one stays, whether its
  // registration worked or not); otherwise the window is kept and registered with the platform,
  // and the result tells whether that worked.
  bool RegisterWindow(HWND window);
  HWND RegisteredWindow() const { return window_; }

  // The owner's end: revokes the registration, releases the drag-image helper and stops all
  // events, even for a drag still under way. Call before the owner's last Release.
  void Close();

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  // Always fails with no effect, also after events were raised, so that a move never removes
  // the source's data.
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;

 private:
  ~DropTargetObject() override;

  bool OffersAcceptedFormat(IDataObject* data) const;
  void RaiseDropEvents(IDataObject* data);
  void Raise(int32_t event, const std::string& text);

  AcceptedFormats accepted_;
  Mode mode_;
  DropEventSink sink_;
  UINT urlFormat_ = 0;
  UINT htmlFormat_ = 0;
  HWND window_ = 0;
  bool registered_ = false;
  bool dropAllowed_ = false;
  bool closed_ = false;
  platform::ComPtr<IDropTargetHelper> helper_;
};

}  // namespace quorlin::dragdrop
