// What a framework thread keeps in TLS while its Run() executes.
#pragma once

namespace nbase {

class FrameworkThread;

struct ThreadTlsRecord {
  FrameworkThread* self = nullptr;
  int registration_count = 0;
  int registered_id = -1;  // -1 while not registered
};

}  // namespace nbase
