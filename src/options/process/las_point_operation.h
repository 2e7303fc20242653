// The abstract operation of the point transform: one change to a point, able
// to write itself back as option text. Operations are small final classes so
// the transform's per-point loop costs one call each.
#pragma once

#include <cstdint>
#include <string>

namespace tinrise {

class LASpoint;

class LASpointOperation {
 public:
  explicit LASpointOperation(const char* name) : operation_name(name) {}
  virtual ~LASpointOperation() = default;
  LASpointOperation(const LASpointOperation&) = delete;
  LASpointOperation& operator=(const LASpointOperation&) = delete;

  // The option name without its leading '-'.
  const char* name() const { return operation_name; }
  // Appends the operation as options followed by one blank; returns the
  // number of characters appended.
  int echo(std::string& buffer) const {
    const std::size_t start = buffer.size();
    append_echo(buffer);
    return static_cast<int>(buffer.size() - start);
  }
  virtual void append_echo(std::string& buffer) const = 0;
  virtual void apply(LASpoint& point) = 0;
  // Restores the starting state; only the random translation has one.
  virtual void reset() {}

 private:
  const char* operation_name;  // a literal: operations never own their names
};

}  // namespace tinrise
