// The height pass: every point of an input measured against the ground TIN,
// its height stored, used to classify it or to drop it, and written out.
#pragma once

#include <memory>

#include "las/core/las_point.h"
#include "las/io/las_reader.h"
#include "tin/tin.h"
#include "tool/height_run.h"

namespace tinrise {

// Reads the reader from its first point to its end and writes one output.
// False (after its message) ends the run with status 1.
bool run_height_pass(HeightRun& run, std::unique_ptr<LASreader>& reader);

// The height of the point above the surface; `hint` is the triangle of the
// previous query and receives this one's. False after the no-apex error.
bool height_above_surface(const GroundSurface& ground, const LASpoint& point, const LAScoordinateQuantizer& quantizer,
                          const TINtriangle*& hint, float& height);

}  // namespace tinrise
