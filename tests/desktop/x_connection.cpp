#include "tests/desktop/x_connection.h"

#include <cstdlib>
#include <cstring>

namespace quorlin::testing {

XConnection::XConnection() {
  int screenNumber = 0;
  connection_ = xcb_connect(nullptr, &screenNumber);
  if (!Open()) return;
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
  if (screens.rem > 0) root_ = screens.data->root;
}

XConnection::~XConnection() { xcb_disconnect(connection_); }

bool XConnection::Open() const { return xcb_connection_has_error(connection_) == 0; }

xcb_atom_t XConnection::Atom(const char* name) const {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection_, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

bool XConnection::SendMessage(xcb_window_t window, const char* type, const uint32_t (&data)[5]) const {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = Atom(type);
  std::memcpy(message.data.data32, data, sizeof data);
  xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
  return xcb_flush(connection_) > 0;
}

}  // namespace quorlin::testing
