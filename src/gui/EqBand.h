#pragma once

#include <cstdint>
#include <vector>

class EqScale;

// Shapes a band can take.
enum EqBandType : int32_t {
    kEqPeak = 0,       // width: bandwidth in octaves
    kEqLowShelf = 1,   // width: slope
    kEqHighShelf = 2,  // width: slope
    kEqBump = 3,       // width: extent in octaves of a raised cosine
};

// What the editor hands the display for one band, eleven four-byte fields in this order.
struct EqBandRecord {
    int32_t band = 0;
    int32_t type = kEqPeak;
    float gain = 0.0f;          // dB
    float frequency = 1000.0f;  // Hz
    float width = 1.0f;
    float frequencyLow = 10.0f;
    float frequencyHigh = 24000.0f;
    float gainLow = -40.0f;
    float gainHigh = 40.0f;
    float widthLow = 0.0f;
    float widthHigh = 10.0f;
};

// One band of the display: its values and limits, where it sits on the frequency axis, and its
// response cached per pixel column (vertical displacement in pixels, negative is up).
class EqBand {
public:
    // The display is never wider than this; columns beyond it are not kept.
    static constexpr int kMaxColumns = 8192;

    EqBand();

    // Takes the record's values and limits, places the band and asks for a new response.
    void Set(const EqBandRecord& record, const EqScale& scale);
    // Recomputes the place on the frequency axis after the frequency changed.
    void Place(const EqScale& scale);

    // Zeroes the response over width columns and computes this band's shape into it for a
    // display of width x height pixels.
    void ComputeResponse(const EqScale& scale, int width, int height);
    const float* Response() const { return response_.data(); }

    const EqBandRecord& Record() const { return record_; }
    int Type() const { return record_.type; }
    float Gain() const { return record_.gain; }
    float Frequency() const { return record_.frequency; }
    float Width() const { return record_.width; }
    double Position() const { return position_; }

    void SetGain(float gain) { record_.gain = gain; }
    void SetFrequency(float frequency) { record_.frequency = frequency; }
    void SetWidth(float width) { record_.width = width; }

    bool CurveDirty() const { return curveDirty_; }
    void MarkCurveDirty() { curveDirty_ = true; }
    bool Selected() const { return selected_; }
    void SetSelected(bool selected) { selected_ = selected; }

private:
    void ComputePeak(int width, int columns, float amplitude, double logRange);
    void ComputeLowShelf(int width, int columns, float amplitude);
    void ComputeHighShelf(int width, int columns, float amplitude);
    void ComputeBump(int width, int columns, float amplitude, double logRange);
    void Put(int column, int columns, float value);

    EqBandRecord record_;
    double position_ = 0.0;
    std::vector<float> response_;
    bool curveDirty_ = true;
    bool selected_ = false;
};

// A pixel coordinate truncated toward zero, held within +-2^28 and 0 for a NaN, so that odd band
// values never turn into overflowing column arithmetic; columns that far out are never drawn.
int TruncateColumn(double value);
