// The abstract operation of the point transform: one change to a point, able
// to write itself back as option text. Operations are small final classes so
// the transform's per-point loop costs one call each.
#pragma once

#include <cstdint>
#include <string>

namespace tinrise {

class LAScoordinateQuantizer;
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
  // Whether apply_to_records can stand in for apply: true for operations
  // that keep no state and read and change only fields of the POINT10 item
  // that LAS 1.4 points keep in the same place (coordinates, intensity, user
  // data, point source), as readers copy the changed bytes over those points.
  virtual bool changes_records() const { return false; }
  // Changes `count` stored records of `record_size` bytes that begin with the
  // POINT10 item exactly as apply would change the points read from them,
  // for coordinates quantized by `quantizer`.
  virtual void apply_to_records(std::uint8_t* records, std::uint32_t count, std::uint32_t record_size,
                                const LAScoordinateQuantizer& quantizer) {
    (void)records, (void)count, (void)record_size, (void)quantizer;
  }

 private:
  const char* operation_name;  // a literal: operations never own their names
};

}  // namespace tinrise
