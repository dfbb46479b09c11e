// A picture of the whole disk: each side a disc of rings, track 0 outside,
// every sector an arc in the map's colour of its state, sectors whose ID
// field fails its CRC marked on the inner edge of their arc, present tracks
// without sectors grey, tracks outside the image faint; a legend below.
#pragma once

#include "model/disk.h"
#include "plot/scene.h"

namespace velloran {

Scene DiskPictureScene(const TZX_Disk& disk, int width, int height);

}  // namespace velloran
