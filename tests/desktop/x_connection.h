// A connection of the test's own to the X server DISPLAY names, for what xdotool cannot do:
// client messages, selections and reading the screen's pixels.
#pragma once

#include <xcb/xcb.h>

namespace quorlin::testing {

class XConnection {
 public:
  XConnection();
  ~XConnection();
  XConnection(const XConnection&) = delete;
  XConnection& operator=(const XConnection&) = delete;

  bool Open() const;
  xcb_connection_t* Get() const { return connection_; }
  xcb_window_t Root() const { return root_; }
  // The atom of that name, made when the server does not know it yet; XCB_ATOM_NONE on failure.
  xcb_atom_t Atom(const char* name) const;
  // Sends a 32-bit client message of that type to `window`; whether it went out.
  bool SendMessage(xcb_window_t window, const char* type, const uint32_t (&data)[5]) const;

 private:
  xcb_connection_t* connection_;
  xcb_window_t root_ = XCB_WINDOW_NONE;
};

}  // namespace quorlin::testing
