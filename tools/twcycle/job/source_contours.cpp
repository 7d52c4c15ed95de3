#include "source_contours.h"

#include <optional>

#include "exchange/contour_reading.h"
#include "exchange/file_names.h"
#include "job_settings.h"

namespace twcycle {
namespace {

// Keeps the contours that end with points, as the module writes only those.
class GatheredContours : public tw::ContourVisitor {
public:
    explicit GatheredContours(std::vector<SourceContour>& contours) : contours_(contours) {}

    void contourHeader(tw::ExchangeToken& token) override {
        name_ = token.text;
        points_.clear();
    }
    void point(tw::ExchangeToken&, const tw::CoordinateCarry& carry) override { points_.push_back(planePoint(carry)); }
    void contourEnd(const tw::ValueDictionary&) override {
        if (points_.empty()) return;
        contours_.push_back(SourceContour{name_.value_or(""), std::move(points_)});
        points_.clear();
    }

private:
    std::vector<SourceContour>& contours_;
    std::optional<std::string> name_;
    std::vector<PlanePoint> points_;
};

}  // namespace

SourceReading readSourceContours(const std::string& geoSource) {
    SourceReading reading;
    const std::string name = literalFileName(geoSource);
    if (name == tw::kStandardInputName) {
        reading.status = SourceStatus::StandardInput;
        return reading;
    }
    GatheredContours gathered(reading.contours);
    const std::int32_t walked = tw::readContours(name, gathered, tw::acceptEveryHead);
    reading.status = walked == 0 ? SourceStatus::Unreadable : SourceStatus::Read;
    if (reading.status == SourceStatus::Unreadable) reading.contours.clear();
    return reading;
}

}  // namespace twcycle
