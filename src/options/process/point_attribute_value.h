// The number an extra-bytes attribute of a point holds, for the filter's
// attribute conditions and the transform's copy operations.
#pragma once

#include "las/core/las_point.h"

namespace tinrise {

// Value of attribute `index` (scaled and offset when the descriptor marks
// scale or offset valid), or 0 when the point's attribute list has no such
// attribute or its bytes lie beyond the point's extra bytes.
inline double point_attribute_value(const LASpoint& point, int index) {
  const std::uint8_t* bytes = point.attribute_bytes(index);
  return bytes ? point.attribute_set->attributes[index].value_at(bytes) : 0.0;
}

}  // namespace tinrise
