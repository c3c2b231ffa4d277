// The hemisphere presets of a sensor's hemisphere record: the axis unit
// vectors, with both hemisphere bits clear. They are records, so they live
// with the records; the vocabulary class hands them out.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXpayloads.h>

namespace {

constexpr unsigned int kHemPresetMax = 7;

constexpr _HEMISPHERE_CONFIG kHemPresets[kHemPresetMax + 1] = {
    {{0u}, {1.0f, 0.0f, 0.0f}},  // POS_X
    {{0u}, {0.0f, 1.0f, 0.0f}},  // POS_Y
    {{0u}, {0.0f, 0.0f, 1.0f}},  // POS_Z
    {{0u}, {-1.0f, 0.0f, 0.0f}}, // NEG_X
    {{0u}, {0.0f, -1.0f, 0.0f}}, // NEG_Y
    {{0u}, {0.0f, 0.0f, -1.0f}}, // NEG_Z
    {{0u}, {0.0f, 0.0f, 0.0f}},  // CUSTOM
    {{0u}, {0.0f, 0.0f, 0.0f}},  // HEMPRESETVAL_MAX
};

} // namespace

void CSXcmd::InitHemisphereInfo()
{
}

const _HEMISPHERE_CONFIG* CSXcmd::hemispherecfg(unsigned int value)
{
    return &kHemPresets[value > kHemPresetMax ? kHemPresetMax : value];
}
