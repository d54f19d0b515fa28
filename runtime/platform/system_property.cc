#include "runtime/platform/system_property.h"

#include <map>
#include <mutex>

namespace runtime {

namespace {

struct Properties {
  std::mutex mutex;
  std::map<int, std::string> values;
};

Properties& TheProperties() {
  static Properties properties;
  return properties;
}

}  // namespace

std::string SystemProperty(int number) {
  Properties& properties = TheProperties();
  std::lock_guard<std::mutex> lock(properties.mutex);
  const auto found = properties.values.find(number);
  return found == properties.values.end() ? std::string() : found->second;
}

void SetSystemProperty(int number, std::string_view value) {
  Properties& properties = TheProperties();
  std::lock_guard<std::mutex> lock(properties.mutex);
  properties.values[number] = std::string(value);
}

}  // namespace runtime
