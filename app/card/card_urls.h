// The two request URLs of a card: the member's profile panel and the portrait picture.
#pragma once

#include "app/support/runtime_calls.h"

namespace quorlin::app {

// "http://", the profile host, "/home/get/panel?ie=utf-8&un=" and the ID with every byte
// percent-encoded (bytes of the system code page, although the query names utf-8).
OwnedText ProfileUrlOf(const char* id);
// "http://", the portrait host, "/sys/portraitl/item/" and the portrait value unchanged.
OwnedText PortraitUrlOf(const char* portrait);

}  // namespace quorlin::app
