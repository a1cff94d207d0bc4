// libcurl's global set-up once for each online test program, before any test
// starts a thread, as main() does for the program.
#include <gtest/gtest.h>

#include "online/http.h"

namespace {

class NetEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { library_ = std::make_unique<lumivex::NetLibrary>(); }
  void TearDown() override { library_.reset(); }

 private:
  std::unique_ptr<lumivex::NetLibrary> library_;
};

[[maybe_unused]] ::testing::Environment* const kNetEnvironment =
    ::testing::AddGlobalTestEnvironment(new NetEnvironment);

}  // namespace
