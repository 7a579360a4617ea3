#pragma once

namespace raster {

// The drawing operations have specialised loops for their hot cases. Turning them off makes
// every operation run the plain per-channel formulas, so tests can compare both bit for bit.
// Process-wide; meant for tests and benchmarks, not for switching while another thread draws.
void SetFastPathsEnabled(bool enabled);
bool FastPathsEnabled();

// Where the processor has them, some fast paths use 256-bit vectors; turning them off makes the
// fast paths use their 128-bit loops, so tests can check those too.
void SetWideVectorsEnabled(bool enabled);
bool WideVectorsEnabled();

}  // namespace raster
