// Subtype 11: measurement level, display width and alignment per variable.
#include <string>

#include "extension_records.h"
#include "record_layout.h"
#include "savio/byte_order.h"

namespace savio {
namespace {

constexpr int32_t kMeasureNominal = 1;
constexpr int32_t kMeasureScale = 3;
constexpr int32_t kAlignmentCentre = 2;

}  // namespace

void ApplyDisplayParameters(const ExtensionBody& ext, bool swap,
                            const std::vector<int>& variableOfRecord, Dictionary* dict) {
    const size_t records = variableOfRecord.size();
    const size_t count = static_cast<size_t>(ext.count);
    int perRecord = 0;
    if (records > 0 && count == 3 * records)
        perRecord = 3;
    else if (records > 0 && count == 2 * records)
        perRecord = 2;
    if (perRecord == 0) {
        Warn(dict, "display parameters record (subtype 11): " + std::to_string(ext.count) +
                       " values fit neither 2 nor 3 per variable record (" +
                       std::to_string(records) + "); skipped");
        return;
    }
    const auto* p = reinterpret_cast<const uint8_t*>(ext.body.data());
    for (size_t r = 0; r < records; ++r, p += 4 * perRecord) {
        const int v = variableOfRecord[r];
        if (v < 0) continue;
        const int32_t measure = LoadI32(p, swap);
        const int32_t width = perRecord == 3 ? LoadI32(p + 4, swap) : -1;
        const int32_t alignment = LoadI32(p + 4 * (perRecord - 1), swap);
        Variable& var = dict->variables[static_cast<size_t>(v)];
        // 0 is what some writers put for nominal.
        if (measure < 0 || measure > kMeasureScale || alignment < 0 ||
            alignment > kAlignmentCentre) {
            Warn(dict, "display parameters record (subtype 11): invalid measure " +
                           std::to_string(measure) + " or alignment " + std::to_string(alignment) +
                           " for variable " + var.shortName + "; skipped");
            continue;
        }
        var.display.measure = measure == 0 ? kMeasureNominal : measure;
        var.display.width = width > 0 ? width : -1;
        var.display.alignment = alignment;
    }
}

}  // namespace savio
