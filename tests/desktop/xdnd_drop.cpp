#include "tests/desktop/xdnd_drop.h"

#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "tests/desktop/x_connection.h"

namespace quorlin::testing {
namespace {

constexpr uint32_t kVersion = 5;
constexpr uint32_t kAccepted = 1;  // bit 0 of XdndStatus

class DragSource {
 public:
  DragSource(const XConnection& x11, const std::string& path)
      : x11_(x11),
        window_(xcb_generate_id(x11.Get())),
        selection_(x11.Atom("XdndSelection")),
        uriList_(x11.Atom("text/uri-list")),
        uri_("file://" + path + "\r\n") {
    // The source window is never shown; it only names the source and owns the selection.
    xcb_create_window(x11.Get(), XCB_COPY_FROM_PARENT, window_, x11.Root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(x11.Get(), window_, selection_, XCB_CURRENT_TIME);
  }
  ~DragSource() {
    xcb_destroy_window(x11_.Get(), window_);
    xcb_flush(x11_.Get());
  }
  DragSource(const DragSource&) = delete;
  DragSource& operator=(const DragSource&) = delete;

  xcb_window_t Window() const { return window_; }
  xcb_atom_t UriList() const { return uriList_; }

  // Serves requests for the data until a client message of that type comes (its second data
  // word in `flags`), or until the deadline.
  bool AwaitMessage(const char* type, std::chrono::steady_clock::time_point deadline, uint32_t& flags) {
    const xcb_atom_t awaited = x11_.Atom(type);
    const int fd = xcb_get_file_descriptor(x11_.Get());
    for (;;) {
      while (xcb_generic_event_t* event = xcb_poll_for_event(x11_.Get())) {
        const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
        switch (event->response_type & 0x7F) {
          case XCB_SELECTION_REQUEST: Answer(*reinterpret_cast<xcb_selection_request_event_t*>(event)); break;
          case XCB_CLIENT_MESSAGE: {
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            if (message->type == awaited) {
              flags = message->data.data32[1];
              return true;
            }
            break;
          }
          default: break;
        }
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
      if (left <= 0 || xcb_connection_has_error(x11_.Get())) return false;
      pollfd ready{fd, POLLIN, 0};
      poll(&ready, 1, static_cast<int>(left));
    }
  }

 private:
  // The URI list for the target that asks for it; no data for any other type.
  void Answer(const xcb_selection_request_event_t& request) {
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = XCB_ATOM_NONE;
    if (request.selection == selection_ && request.target == uriList_) {
      notify.property = request.property != XCB_ATOM_NONE ? request.property : request.target;
      xcb_change_property(x11_.Get(), XCB_PROP_MODE_REPLACE, request.requestor, notify.property, uriList_, 8,
                          static_cast<uint32_t>(uri_.size()), uri_.data());
    }
    xcb_send_event(x11_.Get(), 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&notify));
    xcb_flush(x11_.Get());
  }

  const XConnection& x11_;
  const xcb_window_t window_;
  const xcb_atom_t selection_;
  const xcb_atom_t uriList_;
  const std::string uri_;
};

}  // namespace

bool DropFileAt(unsigned long target, int x, int y, const std::string& path, int timeoutMs, std::string& error) {
  const XConnection x11;
  if (!x11.Open()) {
    error = "no connection to the X server";
    return false;
  }
  const auto to = static_cast<xcb_window_t>(target);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  DragSource source(x11, path);
  const uint32_t from = source.Window();
  const auto place = static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y & 0xFFFF);
  x11.SendMessage(to, "XdndEnter", {from, kVersion << 24, source.UriList(), XCB_ATOM_NONE, XCB_ATOM_NONE});
  x11.SendMessage(to, "XdndPosition", {from, 0, place, XCB_CURRENT_TIME, x11.Atom("XdndActionCopy")});
  uint32_t status = 0;
  if (!source.AwaitMessage("XdndStatus", deadline, status)) {
    error = "the target did not answer the drag's position";
    x11.SendMessage(to, "XdndLeave", {from, 0, 0, 0, 0});
    return false;
  }
  if (!(status & kAccepted)) {
    error = "the target refused the drop there";
    x11.SendMessage(to, "XdndLeave", {from, 0, 0, 0, 0});
    return false;
  }
  x11.SendMessage(to, "XdndDrop", {from, 0, XCB_CURRENT_TIME, 0, 0});
  // The finished drop's flag is not looked at: a target may take the file and still report
  // no effect, so that a move never deletes the source's file.
  uint32_t finished = 0;
  if (!source.AwaitMessage("XdndFinished", deadline, finished)) {
    error = "the target did not finish the drop";
    return false;
  }
  return true;
}

}  // namespace quorlin::testing
