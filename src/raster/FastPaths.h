#pragma once

namespace raster {

// The drawing operations have specialised loops for their hot cases. Turning them off makes
// every operation run the plain per-channel formulas, so tests can compare both bit for bit.
// Process-wide; meant for tests and benchmarks, not for switching while another thread draws.
void SetFastPathsEnabled(bool enabled);
bool FastPathsEnabled();

}  // namespace raster
