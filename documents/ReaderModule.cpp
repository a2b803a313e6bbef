#include "documents/ReaderModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <mutex>

namespace jollix {
namespace {

struct Loaded {
  ExtractEntry Entry = nullptr;
  std::string Why;
};

std::string ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  const std::string exe(path, static_cast<size_t>(n));
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "." : exe.substr(0, slash);
}

const Loaded& Module() {
  static Loaded loaded;
  static std::once_flag once;
  std::call_once(once, [] {
    const std::string path = ProgramFolder() + "/" + kReaderModule;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* error = dlerror();
      loaded.Why = error ? error : path;
      return;
    }
    loaded.Entry = reinterpret_cast<ExtractEntry>(dlsym(handle, kExtractEntry));
    if (!loaded.Entry) loaded.Why = path + ": no " + kExtractEntry;
  });
  return loaded;
}

}  // namespace

DocumentError ExtractThroughModule(DocumentKind kind, std::string_view bytes,
                                   const DocumentLimits& limits, std::string* text,
                                   std::string* why) {
  text->clear();
  why->clear();
  const Loaded& module = Module();
  if (!module.Entry) {
    *why = module.Why;
    return DocumentError::kUnavailable;
  }
  char* out = nullptr;
  size_t out_size = 0;
  const int error =
      module.Entry(static_cast<int>(kind), bytes.data(), bytes.size(), &limits, &out, &out_size);
  if (out) {
    text->assign(out, out_size);
    std::free(out);
  }
  return static_cast<DocumentError>(error);
}

}  // namespace jollix
