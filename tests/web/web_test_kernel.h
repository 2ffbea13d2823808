// A kernel for the application's web routines: started once in the test process on a program
// that declares the application's own DLL commands and links the core library, so that the
// routines run through the entry table exactly as in the program.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/support/runtime_calls.h"

namespace quorlin::testing {

class WebKernelTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();

  // A runtime text / byte set holding these bytes (null when empty).
  static app::OwnedText Text(std::string_view bytes) { return app::OwnedText::Copy(bytes); }
  static app::OwnedBytes Bytes(std::string_view bytes) { return app::OwnedBytes::Copy(bytes.data(), bytes.size()); }
  static std::string Of(const app::OwnedText& text) { return std::string(text.view()); }
  static std::string Of(const app::OwnedBytes& bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
};

}  // namespace quorlin::testing
