// Picks the compressed item decoder or encoder of an item by its type and
// codec version. Used by the point engines' set-up.
#pragma once

#include <memory>

#include "las/core/las_item.h"

namespace tinrise {

class AcDecoder;
class AcEncoder;
class LASitemDecoder;
class LASitemEncoder;

// Null when no codec exists for the item's type, size and version here.
std::unique_ptr<LASitemDecoder> create_item_decoder(const LASitem& item, AcDecoder& decoder);
std::unique_ptr<LASitemEncoder> create_item_encoder(const LASitem& item, AcEncoder& encoder);

}  // namespace tinrise
