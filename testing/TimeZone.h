// Puts the process in a time zone for the lifetime of the object, the way a user's TZ does, and
// puts back the zone it found. Not for tests that run threads while the zone changes.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace jollix::testing {

class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (old_) {
      setenv("TZ", old_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> old_;
};

}  // namespace jollix::testing
